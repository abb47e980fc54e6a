// Checks an area list (brevlund.dom) for lines that can never count or do
// not do what the operator meant, with the same reading of the file as the
// plug-in's: lines end at CR LF, LF or CR, a NUL ends the text.
#pragma once

#include "LogRecord.h"

#include <string>
#include <vector>

namespace brevlund::logformats {

struct TAreaCheck {
    std::vector<TLogProblem> Findings; // in line order
    std::vector<std::string> Counting; // the areas that count, A to Z
};

TAreaCheck CheckAreaList(std::string_view Text);

// The text in double quotes, with bytes below 32 written as \xNN.
std::string Quoted(std::string_view Text);

} // namespace brevlund::logformats
