// What an entrant declares in a Cabrillo log's header: who sent it, in which
// category, with what score claimed, and the texts sponsors publish (name,
// club, location, soapbox). Cabrillo 3's CATEGORY-... tags are read, and
// Cabrillo 2's one CATEGORY: line word by word. A value outside Cabrillo 3's
// lists is kept as written and noted, never dropped.
#pragma once

#include "LogRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund::logformats {

// A header value and the line it stands on (0: not in the log, or empty).
struct THeaderValue {
    std::string Value;
    std::size_t Line = 0;
    bool Given() const { return Line != 0; }
};

// The parts of a category, in the order their words are joined.
enum class TCategoryPart {
    Operator,
    Band,
    Mode,
    Power,
    Assisted,
    Transmitter,
    Station,
    Time,
    Overlay,
};
constexpr std::size_t CategoryParts = 9;

// "OPERATOR" for TCategoryPart::Operator: the tag is "CATEGORY-" and this.
std::string_view CategoryPartName(TCategoryPart Part);
// The part of a name ("POWER", "power"), or nothing.
std::optional<TCategoryPart> CategoryPartNamed(std::string_view Name);
// Cabrillo 3's values of a part, in capitals.
const std::vector<std::string_view>& CategoryValues(TCategoryPart Part);
// The same as a list for messages: "HIGH, LOW, QRP".
std::string CategoryValuesText(TCategoryPart Part);

struct TEntryHeader {
    THeaderValue Call;    // CALLSIGN:, trimmed, in capitals
    THeaderValue Contest; // CONTEST:
    THeaderValue ClaimedScore;
    THeaderValue Name, Club, Location;
    // SOAPBOX: lines in order, joined by line ends; Line: the first.
    THeaderValue Soapbox;
    // START-OF-LOG: (the version) and END-OF-LOG:, given even when empty.
    THeaderValue StartOfLog, EndOfLog;
    // Each part as written, in capitals; Line 0 when the log does not say.
    std::array<THeaderValue, CategoryParts> Category;
    // The first CATEGORY: line as written: Cabrillo 2's category, or beside
    // Cabrillo 3's tags a sponsor's own class.
    THeaderValue OldCategory;
    // That line gave the category: the log has none of Cabrillo 3's tags.
    bool CategoryLine = false;

    const THeaderValue& Part(TCategoryPart P) const {
        return Category[static_cast<std::size_t>(P)];
    }
    // The parts given, joined by blanks: "SINGLE-OP ALL HIGH".
    std::string CategoryText() const;
    // The same of these parts only, in TCategoryPart's order.
    std::string CategoryText(const std::vector<TCategoryPart>& Parts) const;
    bool HasCategory() const;
    // CATEGORY-OPERATOR: CHECKLOG: sent for checking, never ranked.
    bool CheckLog() const;
    // The band label (Bands.h) of a single-band entry ("20M" gives "14"),
    // or nothing for ALL, a VHF group or no band given.
    std::optional<std::string> SingleBand() const;
    // CLAIMED-SCORE: as a whole number (blanks, "." and "," between digit
    // groups allowed), or nothing.
    std::optional<std::int64_t> ClaimedScoreValue() const;
};

// A line of the header that does not hold to Cabrillo 3.
struct THeaderNote {
    std::size_t Line = 0; // 1 for what is missing
    std::string Message;
};

// The header of a read Cabrillo log. Notes, when given, gets each value
// outside the lists and each word of a CATEGORY: line that fits no part.
TEntryHeader ReadEntryHeader(const TLogRead& Read, std::vector<THeaderNote>* Notes = nullptr);

} // namespace brevlund::logformats
