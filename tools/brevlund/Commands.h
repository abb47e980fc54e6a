// The commands of the brevlund tool, callable from tests: each takes the
// arguments after the program name, writes to Out and Err, and returns the
// exit code. No exception leaves them.
//   0  done, nothing wrong
//   1  done, but lines of the log or the area list are wrong (listed as FILE:LINE:)
//   2  nothing done: a usage error, a missing file, an unknown or unreadable format
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace brevlund::cli {

int Main(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

int Score(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);
int CheckAreas(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

} // namespace brevlund::cli
