// What the log readers hand to the scorer: the QSOs they could read, each
// with the line it came from, and a problem for every line they could not.
// Readers never throw for bad input; they report and go on.
#pragma once

#include "engine/Text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

    // What the log says beyond the engine's four texts, for checking one log
    // against another and for charts over time; empty where the format has none.
    std::string Frequency; // as written: kHz in Cabrillo, MHz in ADIF
    std::string Date;      // "YYYY-MM-DD"
    std::string Time;      // "HHMM", UTC
    std::string MyCall;    // the station that made the log
    std::string Sent;      // the exchange sent, tokens joined by one blank
};

// A line that could not be read, in the words the operator sees after FILE:LINE:.
struct TLogProblem {
    std::size_t Line = 0;
    std::string Message;
};

struct TLogRead {
    // The QSOs read, unless a sink took them (TQsoSink).
    std::vector<TLogQSO> QSOs;
    // How many QSOs were read: kept in QSOs or taken by a sink.
    std::size_t QsoCount = 0;
    std::vector<TLogProblem> Problems;
    // What was passed over or read with a doubt, though nothing is lost: lines
    // after END-OF-LOG:, bands and modes outside the known ones. Not errors.
    std::vector<TLogProblem> Warnings;
    // Cabrillo's X-QSO lines: QSOs the log's own author asks not to score,
    // still evidence that the other side's QSO happened.
    std::vector<TLogQSO> XQSOs;
    // Cabrillo header tags in capitals with their values ("CALLSIGN", "SM5AAA")
    // and lines, in file order; the QSO lines are not among them.
    struct THeaderLine {
        std::string Tag, Value;
        std::size_t Line = 0;
        bool operator==(const THeaderLine& O) const {
            return Tag == O.Tag && Value == O.Value && Line == O.Line;
        }
    };
    std::vector<THeaderLine> Header;

    // The first value of a header tag, or empty.
    std::string HeaderValue(std::string_view Tag) const;
};

// Where a reader hands each QSO it reads, in the log's order, instead of
// keeping it: a big log that is only scored need not sit in memory whole.
// The QSO given is valid only during the call.
class TQsoSink {
public:
    virtual void Take(const TLogQSO& Qso) = 0;

protected:
    ~TQsoSink() = default;
};

// How a reader makes its QSOs: each in place in the read log, or, with a
// sink, in one scratch record that the sink takes and that is then reused.
// X-QSO lines are always kept.
class TQsoMaker {
public:
    TQsoMaker(TLogRead& Read, TQsoSink* Sink) : Read(Read), Sink(Sink) {}
    // A record to fill: empty but for its line.
    TLogQSO& Start(std::size_t Line, bool X = false);
    // The record stands.
    void Keep();
    // The line gave no QSO.
    void Drop();

private:
    TLogRead& Read;
    TQsoSink* Sink; // not owned; null: keep every QSO
    TLogQSO Scratch;
    TLogQSO* Current = nullptr;
    bool CurrentX = false;
};

// A log's own call: its CALLSIGN: header, else the my-call of its QSO lines;
// trimmed and in capitals. Empty when it has neither.
std::string LogCallOf(const TLogRead& Read);

// Minutes since 1970-01-01 00:00 UTC of a QSO's date and time, or nothing
// when either is missing or no valid date and time ("2026-02-30", "2460").
std::optional<std::int64_t> MinuteOf(const TLogQSO& Qso);
// The same of a date "YYYY-MM-DD" and a time "HHMM".
std::optional<std::int64_t> MinuteOf(std::string_view Date, std::string_view Time);

// Whether a date "YYYY-MM-DD" and a time "HHMM" exist: Feb 30, hour 24 and
// minute 60 do not.
bool ValidDate(std::string_view Date);
bool ValidTime(std::string_view Time);

// Lines as the engine splits them: CR LF, LF or CR, a NUL an ordinary byte.
using brevlund::ForEachLine;

// Words separated by characters of code 32 or less, or by a no-break space
// (TokenBlankAt).
std::vector<std::string_view> SplitWords(std::string_view Line);
// The same into a vector kept from line to line, which spares an allocation a line.
void SplitWords(std::string_view Line, std::vector<std::string_view>& Words);

} // namespace brevlund::logformats
