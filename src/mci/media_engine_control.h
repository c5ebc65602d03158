#pragma once
// A look behind the entry point, for tests and benchmarks that need to reach
// the media engine process itself (to signal it, or to measure it).

namespace snipwell::mci {

// The process id of the running media engine; 0 when none runs.
int mediaEngineProcessId();

}  // namespace snipwell::mci
