// What the log readers' fuzz targets share: the input's lines as the readers
// number them, and the invariants every reader keeps.
#pragma once

#include "FuzzCheck.h"
#include "logformats/LogRecord.h"

#include <algorithm>
#include <string_view>
#include <tuple>
#include <vector>

namespace brevlund::fuzz {

inline std::vector<std::string_view> LinesOf(std::string_view Text) {
    std::vector<std::string_view> Lines;
    logformats::ForEachLine(Text,
                            [&](std::size_t, std::string_view Line) { Lines.push_back(Line); });
    return Lines;
}

inline auto Fields(const logformats::TLogQSO& Q) {
    return std::tie(Q.Line, Q.Call, Q.Band, Q.Mode, Q.Exchange, Q.Frequency, Q.Date, Q.Time,
                    Q.MyCall, Q.Sent);
}

// Every QSO with every field, the X-QSO lines, the problems and the warnings.
inline bool SameRead(const logformats::TLogRead& A, const logformats::TLogRead& B) {
    const auto SameQsos = [](const auto& X, const auto& Y) {
        return std::equal(X.begin(), X.end(), Y.begin(), Y.end(),
                          [](const auto& P, const auto& Q) { return Fields(P) == Fields(Q); });
    };
    const auto SameProblems = [](const auto& X, const auto& Y) {
        return std::equal(X.begin(), X.end(), Y.begin(), Y.end(), [](const auto& P, const auto& Q) {
            return P.Line == Q.Line && P.Message == Q.Message;
        });
    };
    return SameQsos(A.QSOs, B.QSOs) && SameQsos(A.XQSOs, B.XQSOs) &&
           SameProblems(A.Problems, B.Problems) && SameProblems(A.Warnings, B.Warnings) &&
           A.QsoCount == B.QsoCount && A.Header == B.Header;
}

// Read again, the QSOs handed to a sink instead of kept (as brevlund score
// does with a log it only scores): the sink sees every QSO the read kept, in
// order and whole, and the rest of the read is the same.
template <typename TReadWith> void CheckSinkRead(const logformats::TLogRead& Read, TReadWith&& With) {
    struct TCollect final : logformats::TQsoSink {
        std::vector<logformats::TLogQSO> Qsos;
        void Take(const logformats::TLogQSO& Qso) override { Qsos.push_back(Qso); }
    } Sink;
    logformats::TLogRead Streamed = With(&Sink);
    FUZZ_CHECK(Streamed.QSOs.empty() && Read.QsoCount == Read.QSOs.size());
    Streamed.QSOs = std::move(Sink.Qsos);
    FUZZ_CHECK(SameRead(Read, Streamed));
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
