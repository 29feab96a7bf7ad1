// Whether this process is a child forked after the .NET runtime started in its parent.
// The runtime cannot run in such a child (fork copies none of its threads), so every
// way into .NET checks this first and refuses; the runtime wrapper library cuts the
// child loose from the parent's runtime memory at the fork itself.
#pragma once

namespace morvax::host {

namespace detail {
extern volatile bool g_forkedAfterStart;
}

// True in a child forked after WatchForks() was called in its parent (or an ancestor).
inline bool ForkedAfterStart() { return detail::g_forkedAfterStart; }

// Starts watching for forks; called once the runtime has started. Later calls do nothing.
void WatchForks();

}  // namespace morvax::host
