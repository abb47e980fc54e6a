#include "EntryHeader.h"

#include "Bands.h"
#include "engine/Text.h"

#include <algorithm>
#include <limits>

namespace brevlund::logformats {

namespace {

struct TPartList {
    std::string_view Name;
    std::vector<std::string_view> Values;
};

// Cabrillo 3's lists, in TCategoryPart's order.
const std::array<TPartList, CategoryParts>& PartLists() {
    static const std::array<TPartList, CategoryParts> Lists = {{
        {"OPERATOR", {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}},
        {"BAND",
         {"ALL", "160M", "80M", "40M",  "20M",  "15M",  "10M",   "6M",         "4M",
          "2M",  "222",  "432", "902",  "1.2G", "2.3G", "3.4G",  "5.7G",       "10G",
          "24G", "47G",  "75G", "122G", "134G", "241G", "LIGHT", "VHF-3-BAND", "VHF-FM-ONLY"}},
        {"MODE", {"CW", "DIGI", "FM", "RTTY", "SSB", "MIXED"}},
        {"POWER", {"HIGH", "LOW", "QRP"}},
        {"ASSISTED", {"ASSISTED", "NON-ASSISTED"}},
        {"TRANSMITTER", {"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"}},
        {"STATION",
         {"DISTRIBUTED", "FIXED", "MOBILE", "PORTABLE", "ROVER", "ROVER-LIMITED", "ROVER-UNLIMITED",
          "EXPEDITION", "HQ", "SCHOOL", "EXPLORER"}},
        {"TIME", {"6-HOURS", "8-HOURS", "12-HOURS", "24-HOURS"}},
        {"OVERLAY", {"CLASSIC", "ROOKIE", "TB-WIRES", "YOUTH", "NOVICE-TECH", "YL", "OVER-50"}},
    }};
    return Lists;
}

bool InList(TCategoryPart Part, std::string_view Value) {
    const auto& Values = CategoryValues(Part);
    return std::find(Values.begin(), Values.end(), Value) != Values.end();
}

std::string Lower(std::string_view Text) {
    std::string Result(Text);
    for (char& C : Result)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return Result;
}

// Cabrillo 2's operator words that say more than one part.
struct TOldWord {
    std::string_view Word;
    std::string_view Operator, Assisted, Transmitter, Station;
};
constexpr TOldWord OldWords[] = {
    {"SINGLE-OP-ASSISTED", "SINGLE-OP", "ASSISTED", "", ""},
    {"MULTI-ONE", "MULTI-OP", "", "ONE", ""},
    {"MULTI-TWO", "MULTI-OP", "", "TWO", ""},
    {"MULTI-MULTI", "MULTI-OP", "", "UNLIMITED", ""},
    {"MULTI-LIMITED", "MULTI-OP", "", "LIMITED", ""},
    {"MULTI-UNLIMITED", "MULTI-OP", "", "UNLIMITED", ""},
    {"SCHOOL-CLUB", "MULTI-OP", "", "", "SCHOOL"},
};

// Cabrillo 2 writes "operator band power [mode]": where a word fits no list,
// its place says which part it was meant for.
constexpr TCategoryPart OldOrder[] = {TCategoryPart::Operator, TCategoryPart::Band,
                                      TCategoryPart::Power, TCategoryPart::Mode};

class THeaderReader {
public:
    THeaderReader(TEntryHeader& Header, std::vector<THeaderNote>* Notes)
        : Header(Header), Notes(Notes) {}

    void Note(std::size_t Line, std::string Message) {
        if (Notes) Notes->push_back({Line, std::move(Message)});
    }

    // A part's value from a CATEGORY-... line or a CATEGORY: word. The first
    // line that gives a part holds; a later one that differs is noted.
    void SetPart(TCategoryPart Part, std::string_view Value, std::size_t Line, bool Check) {
        if (Value.empty()) return; // says nothing
        THeaderValue& Slot = Header.Category[static_cast<std::size_t>(Part)];
        const std::string Upper = UpperAscii(Value);
        const std::string Tag = "CATEGORY-" + std::string(CategoryPartName(Part));
        if (Slot.Given()) {
            if (Slot.Value != Upper)
                Note(Line, Tag + " given again as \"" + std::string(Value) + "\"; line " +
                               std::to_string(Slot.Line) + "'s \"" + Slot.Value + "\" holds");
            return;
        }
        Slot = {Upper, Line};
        if (Check && !InList(Part, Upper))
            Note(Line, Tag + ": \"" + std::string(Value) + "\" is none of Cabrillo 3's values (" +
                           CategoryValuesText(Part) + "); kept as written");
    }

    void OldCategoryLine(std::string_view Value, std::size_t Line) {
        Header.CategoryLine = true;
        std::size_t Place = 0;
        for (std::string_view Word : SplitWords(Value)) {
            const std::string Upper = UpperAscii(Word);
            const std::size_t At = Place++;
            if (const auto* Old = std::find_if(std::begin(OldWords), std::end(OldWords),
                                               [&](const TOldWord& W) { return W.Word == Upper; });
                Old != std::end(OldWords)) {
                SetPart(TCategoryPart::Operator, Old->Operator, Line, false);
                if (!Old->Assisted.empty())
                    SetPart(TCategoryPart::Assisted, Old->Assisted, Line, false);
                if (!Old->Transmitter.empty())
                    SetPart(TCategoryPart::Transmitter, Old->Transmitter, Line, false);
                if (!Old->Station.empty())
                    SetPart(TCategoryPart::Station, Old->Station, Line, false);
                continue;
            }
            bool Placed = false, Known = false;
            for (std::size_t P = 0; P < CategoryParts && !Placed; ++P) {
                const auto Part = static_cast<TCategoryPart>(P);
                Known = Known || InList(Part, Upper);
                if (InList(Part, Upper) && !Header.Part(Part).Given()) {
                    SetPart(Part, Upper, Line, false);
                    Placed = true;
                }
            }
            if (Placed) continue;
            if (Known) {
                Note(Line, "CATEGORY: \"" + std::string(Word) +
                               "\" is for a part the line gave already; passed over");
                continue;
            }
            const bool Free = At < std::size(OldOrder) && !Header.Part(OldOrder[At]).Given();
            if (Free) SetPart(OldOrder[At], Upper, Line, false);
            Note(Line, "CATEGORY: \"" + std::string(Word) +
                           "\" is none of Cabrillo's category values" +
                           (Free ? "; kept as written as the " +
                                       Lower(CategoryPartName(OldOrder[At])) + " category"
                                 : "; passed over"));
        }
    }

private:
    TEntryHeader& Header;
    std::vector<THeaderNote>* Notes;
};

// The first line that gives a tag a value holds; an empty value says nothing.
void Keep(THeaderValue& Slot, std::string_view Value, std::size_t Line) {
    if (!Slot.Given() && !Value.empty()) Slot = {std::string(Value), Line};
}

} // namespace

std::string_view CategoryPartName(TCategoryPart Part) {
    return PartLists()[static_cast<std::size_t>(Part)].Name;
}

const std::vector<std::string_view>& CategoryValues(TCategoryPart Part) {
    return PartLists()[static_cast<std::size_t>(Part)].Values;
}

std::string CategoryValuesText(TCategoryPart Part) {
    std::string Text;
    for (std::string_view Value : CategoryValues(Part))
        Text += (Text.empty() ? "" : ", ") + std::string(Value);
    return Text;
}

std::optional<TCategoryPart> CategoryPartNamed(std::string_view Name) {
    for (std::size_t P = 0; P < CategoryParts; ++P)
        if (SameTextAscii(PartLists()[P].Name, Name)) return static_cast<TCategoryPart>(P);
    return std::nullopt;
}

std::string TEntryHeader::CategoryText() const {
    std::string Text;
    for (const THeaderValue& Part : Category)
        if (Part.Given() && !Part.Value.empty()) Text += (Text.empty() ? "" : " ") + Part.Value;
    return Text;
}

std::string TEntryHeader::CategoryText(const std::vector<TCategoryPart>& Parts) const {
    std::string Text;
    for (std::size_t P = 0; P < CategoryParts; ++P)
        if (const THeaderValue& Part = Category[P];
            Part.Given() && !Part.Value.empty() &&
            std::find(Parts.begin(), Parts.end(), static_cast<TCategoryPart>(P)) != Parts.end())
            Text += (Text.empty() ? "" : " ") + Part.Value;
    return Text;
}

bool TEntryHeader::HasCategory() const {
    return std::any_of(Category.begin(), Category.end(),
                       [](const THeaderValue& P) { return P.Given() && !P.Value.empty(); });
}

bool TEntryHeader::CheckLog() const {
    return Part(TCategoryPart::Operator).Value == "CHECKLOG";
}

std::optional<std::string> TEntryHeader::SingleBand() const {
    const std::string& Band = Part(TCategoryPart::Band).Value;
    if (Band.empty() || Band == "ALL" || Band.rfind("VHF-", 0) == 0) return std::nullopt;
    std::optional<std::string_view> Label = BandOfAdifName(Band);
    if (!Label) Label = BandOfCode(Band);
    if (!Label) return std::nullopt;
    return std::string(*Label);
}

std::optional<std::int64_t> TEntryHeader::ClaimedScoreValue() const {
    const std::string_view Text = Trim(ClaimedScore.Value);
    std::int64_t Value = 0;
    bool Digit = false;
    for (std::size_t I = 0; I < Text.size(); ++I) {
        const char C = Text[I];
        if (C >= '0' && C <= '9') {
            if (Value > (std::numeric_limits<std::int64_t>::max() - 9) / 10) return std::nullopt;
            Value = Value * 10 + (C - '0');
            Digit = true;
        } else if ((C == ',' || C == '.' || C == ' ') && Digit && I + 1 < Text.size() &&
                   Text[I + 1] >= '0' && Text[I + 1] <= '9') {
            continue; // between digit groups
        } else {
            return std::nullopt;
        }
    }
    if (!Digit) return std::nullopt;
    return Value;
}

TEntryHeader ReadEntryHeader(const TLogRead& Read, std::vector<THeaderNote>* Notes) {
    TEntryHeader Header;
    THeaderReader Reader(Header, Notes);
    for (const TLogRead::THeaderLine& H : Read.Header) {
        const std::string& Tag = H.Tag;
        if (Tag == "CALLSIGN") {
            const std::vector<std::string_view> Words = SplitWords(H.Value);
            if (!Words.empty()) Keep(Header.Call, UpperAscii(Words[0]), H.Line);
        } else if (Tag == "CONTEST") {
            Keep(Header.Contest, H.Value, H.Line);
        } else if (Tag == "CLAIMED-SCORE") {
            Keep(Header.ClaimedScore, H.Value, H.Line);
        } else if (Tag == "NAME") {
            Keep(Header.Name, H.Value, H.Line);
        } else if (Tag == "CLUB") {
            Keep(Header.Club, H.Value, H.Line);
        } else if (Tag == "LOCATION") {
            Keep(Header.Location, H.Value, H.Line);
        } else if (Tag == "SOAPBOX") {
            if (!Header.Soapbox.Given())
                Header.Soapbox = {H.Value, H.Line};
            else
                Header.Soapbox.Value += "\n" + H.Value;
        } else if (Tag == "START-OF-LOG" || Tag == "END-OF-LOG") {
            THeaderValue& Slot = Tag == "END-OF-LOG" ? Header.EndOfLog : Header.StartOfLog;
            if (!Slot.Given()) Slot = {H.Value, H.Line}; // the tag itself counts
        } else if (Tag == "CATEGORY") {
            Keep(Header.OldCategory, H.Value, H.Line);
        } else if (Tag.rfind("CATEGORY-", 0) == 0) {
            const std::string_view Name = std::string_view(Tag).substr(9);
            bool Known = false;
            for (std::size_t P = 0; P < CategoryParts && !Known; ++P)
                if (PartLists()[P].Name == Name) {
                    Reader.SetPart(static_cast<TCategoryPart>(P), Trim(H.Value), H.Line, true);
                    Known = true;
                }
            if (!Known)
                Reader.Note(H.Line, Tag + ": is none of Cabrillo 3's category tags; passed over");
        }
    }
    // Cabrillo 2's line gives the category only to a log without Cabrillo 3's
    // tags; beside them it is the sponsor's own class, kept as written.
    if (Header.OldCategory.Given() && !Header.HasCategory())
        Reader.OldCategoryLine(Header.OldCategory.Value, Header.OldCategory.Line);
    return Header;
}

} // namespace brevlund::logformats
