// Tracing of the runtime host: one flag for the process, lines to standard output.
#include "host/tracing.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "host/platform.h"

namespace morvax::host {

static bool g_tracing = false;

void EnableTracingFromEnvironment() {
  if (g_tracing) return;
  auto value = ReadEnvironment("COREHOST_TRACE");
  if (!value) return;
  // Like the C wide-string-to-integer conversion: leading digits count, text is 0.
  if (std::strtol(value->c_str(), nullptr, 10) > 0) {
    g_tracing = true;
    Trace("%s", "CLR host tracing enabled");
  }
}

bool TracingEnabled() { return g_tracing; }

void Trace(const char* format, ...) {
  if (!g_tracing) return;
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fputs("\r\n", stdout);
  // Python writes to the same stream through its own buffer: keep our lines in order.
  std::fflush(stdout);
}

}  // namespace morvax::host
