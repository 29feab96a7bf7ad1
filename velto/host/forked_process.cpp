// Watching for forks of a process whose .NET runtime has started.
#include "host/forked_process.h"

#include <pthread.h>

namespace morvax::host {

namespace detail {
volatile bool g_forkedAfterStart = false;
}

static void MarkForkedChild() { detail::g_forkedAfterStart = true; }

void WatchForks() {
  static pthread_once_t once = PTHREAD_ONCE_INIT;
  pthread_once(&once, [] { pthread_atfork(nullptr, nullptr, MarkForkedChild); });
}

}  // namespace morvax::host
