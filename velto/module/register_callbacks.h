// The start-up step that brings the runtime up and connects it to this module.
#pragma once

namespace morvax {

// Starts the runtime host, binds the exchange host, registers the callbacks through which
// .NET reaches Python, initialises the .NET services and binds the object host.
// Returns 0, or -1 with an exception set: TypeError when an entry point cannot be bound,
// ImportError carrying the loader's message when the runtime could not be started.
int RegisterCallbacks();

}  // namespace morvax
