// Process-wide start-up tracing of the runtime host, switched on by COREHOST_TRACE.
#pragma once

namespace morvax::host {

// Switches tracing on when COREHOST_TRACE holds a number greater than 0.
// Once on, tracing stays on for the life of the process.
void EnableTracingFromEnvironment();

bool TracingEnabled();

// Writes one printf-style line to standard output while tracing is on.
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace morvax::host
