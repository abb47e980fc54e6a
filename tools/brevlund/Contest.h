// A contest definition: how to read a QSO line's exchanges and what of them
// one log must agree with in the other. Scoring stays the plug-in's; this is
// what lets the same checker serve other contests than the Brevlund DX.
// Sponsors write their own as JSON:
//   {"contest": "LZ-FD",
//    "sent":     [{"name": "nr", "kind": "number"}, {"name": "last", "kind": "number"}],
//    "received": [{"name": "nr", "kind": "number"}, {"name": "last", "kind": "number"}],
//    "compare":  ["nr", "last"],
//    "repeat_after_minutes": 30,
//    "period": {"start": "2016-08-20 0800", "end": "2016-08-20 1159"},
//    "cabrillo_contest": ["LZ-FD"],
//    "categories": ["OPERATOR", "BAND", "POWER"]}
#pragma once

#include "logformats/Cabrillo.h"
#include "logformats/EntryHeader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund::cli {

enum class TFieldKind {
    Rst,    // a signal report: never compared
    Number, // as whole numbers when both are digits ("030" is 30), else as text
    Text,   // without regard to letter case
    Call,   // a call inside the exchange, without a portable or other suffix
};

struct TExchangeField {
    std::string Name;
    TFieldKind Kind = TFieldKind::Text;
};

struct TContestPeriod {
    std::int64_t Start = 0, End = 0; // minutes since 1970 (UTC), both included
};

struct TContest {
    std::string Name;
    std::vector<TExchangeField> Sent, Received;
    // Received fields held against the other log's sent field of the same name.
    std::vector<std::string> Compare;
    // 0: a station counts once per band and mode; else it may be worked again
    // after this many minutes.
    int RepeatAfterMinutes = 0;
    std::optional<TContestPeriod> Period;
    // The names a log's CONTEST: may give the contest; none: its Name.
    std::vector<std::string> CabrilloNames;
    // The category parts the results rank by ("categories": ["OPERATOR",
    // "BAND", "POWER"]); none: every part a log gives.
    std::vector<logformats::TCategoryPart> CategoryParts;
};

// The definition in a JSON file, or a built-in one by name; TNothingDone
// saying what is wrong with it.
TContest LoadContest(const std::string& FileOrName);
// The definition in JSON text; Source names it in messages.
TContest ParseContest(std::string_view Json, const std::string& Source);

// How a Cabrillo QSO line lays out the contest's exchanges: lines that fit are
// read so, the others from their own count.
logformats::TQsoLayout LayoutOf(const TContest& Contest);

// The built-in definitions, "brevlund-dx" first, the default.
const std::vector<TContest>& BuiltInContests();
// "NAME: sent ...; received ...; compare ..." a line each, for --contest list.
std::string ContestList();

// The area a station gives in the contest, from what its QSOs sent: the sent
// field named "area" (the Brevlund DX Contest's), its most frequent value in
// capitals (of two as frequent, the first in the alphabet); empty when the
// definition sends none or no QSO gave one.
std::string SentArea(const TContest& Contest, const std::vector<logformats::TLogQSO>& Qsos);

// Whether two values of a field agree, as its kind compares them: exactly
// when their keys are equal, so that a checker can compare keys it made once.
bool SameField(TFieldKind Kind, std::string_view A, std::string_view B);
std::string FieldKey(TFieldKind Kind, std::string_view Value);

// A call without a portable or other suffix or prefix: its longest part
// between "/" ("OH2DDD" of "OH2DDD/P" and of "SV9/OH2DDD"), in capitals.
std::string BaseCall(std::string_view Call);

// How a QSO's received exchange holds up against what the other station sent,
// over the fields the definition compares. Both are tokens joined by blanks,
// laid out as the definition's received and sent fields; a field that either
// side lacks (too few tokens) counts neither way.
struct TAgreement {
    int Agree = 0, Disagree = 0;
};
// A compared field and its places among the received and the sent tokens.
struct TComparedField {
    TFieldKind Kind = TFieldKind::Text;
    std::size_t Received = 0, Sent = 0;
};
std::vector<TComparedField> ComparedFields(const TContest& Contest);
TAgreement CompareExchange(const TContest& Contest, std::string_view Received,
                           std::string_view Sent);

} // namespace brevlund::cli
