// Releases .NET host handles owned by Python objects, through the interop
// assembly's FreeInstance reached via the runtime wrapper library that the main
// extension has loaded.
#pragma once

#include <cstdint>

namespace morvax::siblings {

// Releases handle (0 is no object and is skipped).  Needs the GIL.  Does nothing
// when the runtime wrapper is not loaded or its domain is not (or no longer)
// initialized: then no handle can be alive to release.  Leaves the caller's
// exception state as it was; an error raised by the release itself is reported
// as unraisable, since this runs from deallocators.
void release_host_handle(uint32_t handle);

}  // namespace morvax::siblings
