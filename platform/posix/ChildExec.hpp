#pragma once
#include <string>
#include <vector>

namespace pd {

// In a freshly forked child: standard streams to /dev/null (output and errors to outputFd
// when one is given), signals back to their defaults, then exec argv. Only if that fails,
// errno is written to reportFd (a close-on-exec pipe the parent reads) and the child
// exits 127.
[[noreturn]] void execQuietly(const std::vector<std::string>& argv, int reportFd, int outputFd = -1);

}  // namespace pd
