// A log held against what its header declares and what Cabrillo 3 asks of a
// header: what an entrant runs before sending (`score --check`) and the flags
// a sponsor's results show beside an entrant.
#pragma once

#include "Contest.h"
#include "LogJob.h"

#include "logformats/EntryHeader.h"
#include "logformats/LogRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund::cli {

// The findings a sponsor's results flag, by these names.
enum class TEntryFlag { ClaimedScore, SingleBand, OutOfPeriod, MissingHeader };
std::string_view EntryFlagName(TEntryFlag Flag); // "claimed-score", ...

struct TEntryFinding {
    std::size_t Line = 0; // in the log; 1 for what is missing
    std::string Message;
    std::optional<TEntryFlag> Flag; // none: a header fault the results do not flag
};

struct TEntryCheckInput {
    const logformats::TLogRead& Read; // QSOs kept
    const logformats::TEntryHeader& Header;
    std::vector<logformats::THeaderNote> HeaderNotes; // as ReadEntryHeader gave them
    // The score the log itself gives (the engine's), held against CLAIMED-SCORE;
    // none when it says nothing of the claim (no area list: no multiplier counts).
    std::optional<std::int64_t> ComputedScore;
    // The contest's period, when the definition has one.
    std::optional<TContestPeriod> Period;
    // The names CONTEST: may give, when a definition was chosen.
    std::vector<std::string> ContestNames;
};

// The findings in line order; none when the log is fit to send.
std::vector<TEntryFinding> CheckEntry(const TEntryCheckInput& Input);

// The findings of a read Cabrillo log whose QSOs were kept, its header read
// with its notes. ComputedScore: the engine's score of its QSOs, none when no
// area list let a multiplier count. Contest: the definition chosen, for its
// period and the names CONTEST: may give (its cabrillo_contest, else its name).
std::vector<TEntryFinding> CheckReadEntry(const logformats::TLogRead& Read,
                                          const logformats::TEntryHeader& Header,
                                          std::vector<logformats::THeaderNote> Notes,
                                          std::optional<std::int64_t> ComputedScore,
                                          const TContest* Contest);

// The findings of a scored log job whose QSOs were kept. Contest: the
// definition chosen, for its period and name. A log in another format than
// Cabrillo has one finding: sponsors ask for Cabrillo.
std::vector<TEntryFinding> CheckLogEntry(const TLogJob& Job, const TContest* Contest);

// The distinct flags of the findings, in TEntryFlag's order.
std::vector<TEntryFlag> FlagsOf(const std::vector<TEntryFinding>& Findings);

} // namespace brevlund::cli
