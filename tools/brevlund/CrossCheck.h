// The sponsor's half of a contest: every log's QSOs checked against the logs
// of the stations worked, and each log scored again with the plug-in's engine
// over the QSOs that stood up. Pure logic over logs already read, so that the
// tests and the fuzz target call it without files.
#pragma once

#include "Contest.h"
#include "LogScore.h"

#include "engine/AreaList.h"
#include "engine/Summary.h"
#include "logformats/LogRecord.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund::cli {

enum class TCheckStatus {
    Ok,             // the other log holds the same QSO
    NotCheckable,   // the call sent no log but other logs hold it: credited, shown as "ok"
    Dupe,           // a duplicate by the engine's rule, or a repeat before the contest allows one
    BustedCall,     // a log one edit from the logged call holds the QSO, or the call that
                    // other logs show it was
    BustedExchange, // matched, but the exchange received is not what the other sent
    Nil,            // the station worked sent a log that does not hold the QSO
    Unique,         // the call is in no other log and sent none: credited
    XQso,           // an X-QSO line: not scored, evidence for the other side only
    BustedBand,     // the other log holds the QSO on another band, and this log is the wrong one
    BustedMode,     // likewise in another mode
    BustedTime,     // the other log holds it beyond the tolerance (within TimeWindow)
    Unverified,     // not in the other log, whose unreadable lines lie around that time: credited
    Self,           // a QSO with the log's own call
    OutOfPeriod,    // outside the contest's period
};

// The status as the JSON output and the reports name it.
const char* StatusName(TCheckStatus Status);
// Whether the checked score counts the QSO.
bool Credited(TCheckStatus Status);
// Whether --penalty deducts for it and it counts as an error the other log caused.
bool Penalised(TCheckStatus Status);

// How far apart two logs may put one QSO and still be told it is the same,
// logged at a wrong time.
constexpr int TimeWindowMinutes = 15;

struct TCrossLog {
    std::string File;
    logformats::TLogRead Read;
    // The file's modification time, as a count that only orders; of two logs
    // of one call the one modified last is checked.
    std::int64_t Modified = 0;
};

struct TCrossOptions {
    int ToleranceMinutes = 3;
    int Penalty = 0; // deducted: this many times the points of each nil and busted-call QSO
    const TContest* Contest = nullptr; // not owned; null: the Brevlund DX Contest
    // Threads for the work done log by log: 0, two for a big contest where the
    // machine has two cores; else this many (1 or 2). The verdicts are the same.
    int Threads = 0;
};

constexpr std::size_t NoLog = std::numeric_limits<std::size_t>::max();

struct TCheckedQSO {
    const logformats::TLogQSO* Qso = nullptr; // into the input log; not owned
    bool X = false;                           // from an X-QSO line
    TCheckStatus Status = TCheckStatus::Ok;
    // What the other log shows: the call, the exchange sent, the band, the
    // mode, or the time ("YYYY-MM-DD HHMM" by this log's clock).
    std::string Correct;
    // The QSO in the other log it was matched with, if any; for an unverified
    // QSO, the other log and the unreadable line.
    std::size_t OtherLog = NoLog; // index into the input logs
    std::size_t OtherLine = 0;
};

// A QSO in another log that lost credit through this log: not in it (nil),
// or its call copied wrongly (busted-call).
struct TCausedError {
    std::size_t Log = 0;     // the other log, index into the input logs
    std::size_t Line = 0;    // its line that lost credit
    std::size_t OwnLine = 0; // this log's line of the QSO, 0 when it has none
    TCheckStatus Status = TCheckStatus::Nil;
};

struct TLogCheck {
    std::size_t Log = 0;           // index into the input logs
    std::string Call;              // the log's own call, in capitals
    int ClockOffset = 0;           // minutes the log's clock was ahead; applied before matching
    std::vector<TCheckedQSO> Qsos; // every QSO and X-QSO line, in line order
    TTotals Claimed, Checked;      // Checked.Points already less the penalty
    std::int64_t PenaltyPoints = 0;
    std::size_t ErrorsCaused = 0;     // nil and busted-call verdicts elsewhere that point here
    std::vector<TCausedError> Caused; // those verdicts, by log and line
    std::size_t UnreadableLines = 0;  // the log's lines that could not be read
    std::size_t UnverifiedCaused = 0; // QSOs elsewhere left unverified by them
    std::size_t Count(TCheckStatus Status) const;
};

struct TCrossResult {
    std::vector<TLogCheck> Logs; // one per call, in call order
    // Logs left out because a newer log has the same call: (left out, kept).
    std::vector<std::pair<std::size_t, std::size_t>> Superseded;
};

// The QSO or X-QSO line of a read log at a line, or null.
const logformats::TLogQSO* QsoAtLine(const logformats::TLogRead& Read, std::size_t Line);

// Whether two calls are one edit apart: one character changed, added or
// dropped, or two neighbours swapped.
bool OneEditApart(std::string_view A, std::string_view B);

// Checks every log against the others and scores each, claimed and checked,
// with the engine in log order over the QSOs credited (so that a repeat the
// contest allows counts as the engine counts it: once a band and mode). Of two
// logs with one call the one modified last wins; of two as old, the later in Logs.
TCrossResult CrossCheck(const std::vector<TCrossLog>& Logs, const TAreaList& Areas,
                        const TCrossOptions& Options);

} // namespace brevlund::cli
