// The cyclic collector held off while start-up builds the module tree from C.
//
// The build allocates some 30,000 collected objects (descriptors, slot wrappers, enumeration
// members and their dictionaries) that live for the process and are taken off the
// collector's lists as each class is finished. Left running, the collector would start a
// pass every 700 of those allocations and traverse whatever had not been finished yet:
// about 45 passes and 3% of the import. While a CollectorPause is in force only C code of
// this module runs, so nothing can see the collector held off; a step that runs Python code
// (importing the enum module, the enum module's functional form) does so inside a
// CollectorResume, with the collector as the process had it. When the pause ends the
// collector is left as it was, or as Python code run inside a CollectorResume left it, and
// its next pass finds what the build left behind.
#pragma once

namespace morvax {

// Callers hold the interpreter lock, which orders all uses.
class CollectorPause {
 public:
  CollectorPause();
  ~CollectorPause();
  CollectorPause(const CollectorPause&) = delete;
  CollectorPause& operator=(const CollectorPause&) = delete;
};

// Within a CollectorPause, the collector as the process had it for the lifetime of this
// object; outside one, nothing.
class CollectorResume {
 public:
  CollectorResume();
  ~CollectorResume();
  CollectorResume(const CollectorResume&) = delete;
  CollectorResume& operator=(const CollectorResume&) = delete;

 private:
  bool resumed_ = false;
};

}  // namespace morvax
