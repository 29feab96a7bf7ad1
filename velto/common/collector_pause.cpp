#include "common/collector_pause.h"

#include <Python.h>

namespace morvax {

namespace {

// Pauses in force (start-up does not nest them, but a nested one is harmless) and whether
// the collector was running when the outermost began.
int g_depth = 0;
bool g_wasEnabled = false;

}  // namespace

CollectorPause::CollectorPause() {
  const bool enabled = PyGC_Disable() != 0;
  if (g_depth++ == 0) g_wasEnabled = enabled;
}

CollectorPause::~CollectorPause() {
  if (--g_depth == 0 && g_wasEnabled) PyGC_Enable();
}

CollectorResume::CollectorResume() {
  if (g_depth > 0 && g_wasEnabled) {
    PyGC_Enable();
    resumed_ = true;
  }
}

CollectorResume::~CollectorResume() {
  // Python code run meanwhile may have turned the collector off (or on again): the pause
  // ends with the collector as that code left it.
  if (resumed_) g_wasEnabled = PyGC_Disable() != 0;
}

}  // namespace morvax
