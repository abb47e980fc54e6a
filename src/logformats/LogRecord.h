// What the log readers hand to the scorer: the QSOs they could read, each
// with the line it came from, and a problem for every line they could not.
// Readers never throw for bad input; they report and go on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund::logformats {

// One QSO in the engine's terms: the texts the host would put into CallSign,
// DigiBand, QSOMode and QSOReportRecived.
struct TLogQSO {
    std::size_t Line = 0; // 1-based; for a database, the row number
    std::string Call;
    std::string Band;
    std::string Mode;
    std::string Exchange;
};

// A line that could not be read, in the words the operator sees after FILE:LINE:.
struct TLogProblem {
    std::size_t Line = 0;
    std::string Message;
};

struct TLogRead {
    std::vector<TLogQSO> QSOs;
    std::vector<TLogProblem> Problems;
};

// Calls Visit(number, text) for every line: lines end at CR LF, LF or CR, a
// final line needs no end. Unlike the area list, a NUL is an ordinary byte here.
template <typename Visitor> void ForEachLine(std::string_view Text, Visitor&& Visit) {
    std::size_t Start = 0, Number = 0;
    while (Start < Text.size()) {
        std::size_t End = Text.find_first_of("\r\n", Start);
        if (End == std::string_view::npos) End = Text.size();
        Visit(++Number, Text.substr(Start, End - Start));
        if (End + 1 < Text.size() && Text[End] == '\r' && Text[End + 1] == '\n') ++End;
        Start = End + 1;
    }
}

// How many lines ForEachLine visits.
std::size_t CountLines(std::string_view Text);

// Words separated by characters of code 32 or less.
std::vector<std::string_view> SplitWords(std::string_view Line);

} // namespace brevlund::logformats
