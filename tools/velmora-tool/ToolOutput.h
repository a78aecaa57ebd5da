#pragma once
// Keeps a verb's standard output clean: the engine logs to standard output,
// so while a verb runs the log is moved to standard error and the verb writes
// its own output through the stream returned here.

#include <cstdio>

namespace velmora::tool {

// Moves the log to standard error (once) and returns the stream for the verb's output; null on failure.
std::FILE* TakeStandardOutput();

} // namespace velmora::tool
