// Runs the tool's commands as the program does, capturing what they print.
#pragma once

#include "Commands.h"

#include <sstream>
#include <string>
#include <vector>

namespace brevlund::test {

struct TRun {
    int Code;
    std::string Out, Err;
};

inline TRun Brevlund(const std::vector<std::string>& Args) {
    std::ostringstream Out, Err;
    const int Code = cli::Main(Args, Out, Err);
    return {Code, Out.str(), Err.str()};
}

// The window's text as the tool prints it: LF for CR LF, a line end after it.
inline std::string Printed(std::string Summary) {
    std::string Result;
    for (std::size_t I = 0; I < Summary.size(); ++I)
        if (!(Summary[I] == '\r' && I + 1 < Summary.size() && Summary[I + 1] == '\n'))
            Result += Summary[I];
    return Result + "\n";
}

} // namespace brevlund::test
