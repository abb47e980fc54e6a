// The brevlund tool's command line, callable from tests: Main takes the
// arguments after the program name, writes to Out and Err, and returns the exit
// code. No exception leaves it.
//   0  done, nothing wrong (also --help and --version)
//   1  done, but lines of the log or the area list are wrong (listed as FILE:LINE:)
//   2  nothing done: a usage error, a missing file, an unknown or unreadable format
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace brevlund::cli {

int Main(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

} // namespace brevlund::cli
