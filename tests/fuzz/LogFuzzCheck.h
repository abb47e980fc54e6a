// What the log readers' fuzz targets share: the input's lines as the readers
// number them, and the invariants every reader keeps.
#pragma once

#include "FuzzCheck.h"
#include "logformats/LogRecord.h"

#include <string_view>
#include <vector>

namespace brevlund::fuzz {

inline std::vector<std::string_view> LinesOf(std::string_view Text) {
    std::vector<std::string_view> Lines;
    logformats::ForEachLine(Text,
                            [&](std::size_t, std::string_view Line) { Lines.push_back(Line); });
    return Lines;
}

inline bool SameRead(const logformats::TLogRead& A, const logformats::TLogRead& B) {
    if (A.QSOs.size() != B.QSOs.size() || A.Problems.size() != B.Problems.size()) return false;
    for (std::size_t I = 0; I < A.QSOs.size(); ++I) {
        const auto &X = A.QSOs[I], &Y = B.QSOs[I];
        if (X.Line != Y.Line || X.Call != Y.Call || X.Band != Y.Band || X.Mode != Y.Mode ||
            X.Exchange != Y.Exchange)
            return false;
    }
    for (std::size_t I = 0; I < A.Problems.size(); ++I)
        if (A.Problems[I].Line != B.Problems[I].Line ||
            A.Problems[I].Message != B.Problems[I].Message)
            return false;
    return true;
}

// Lines within the input, QSOs and problems each in line order.
inline void CheckLines(const logformats::TLogRead& Read, std::size_t LineCount) {
    std::size_t Last = 0;
    for (const auto& Q : Read.QSOs) {
        FUZZ_CHECK(Q.Line >= 1 && Q.Line <= LineCount);
        FUZZ_CHECK(Q.Line > Last || (Q.Line == Last && Last != 0));
        Last = Q.Line;
    }
    Last = 0;
    for (const auto& P : Read.Problems) {
        FUZZ_CHECK(P.Line >= 1 && P.Line <= (LineCount ? LineCount : 1));
        FUZZ_CHECK(P.Line >= Last);
        FUZZ_CHECK(!P.Message.empty());
        Last = P.Line;
    }
}

} // namespace brevlund::fuzz
