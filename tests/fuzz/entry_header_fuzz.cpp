// The Cabrillo header reader: any bytes read as a log give a header, never a
// crash. Every value given stands on a line of the text and is found there
// (a Cabrillo 2 CATEGORY: word, or the part such a word says); the category
// text is the parts given joined by blanks; a part's value outside Cabrillo
// 3's lists always has a note at its line; every note is at a line there is.
#include "FuzzCheck.h"
#include "LogFuzzCheck.h"

#include "engine/Text.h"
#include "logformats/Cabrillo.h"
#include "logformats/EntryHeader.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace brevlund;
using namespace brevlund::logformats;

namespace {

// What a Cabrillo 2 word such as MULTI-ONE says of the parts it fills.
constexpr std::string_view SaidByOldWords[] = {"SINGLE-OP", "MULTI-OP", "ASSISTED",  "ONE",
                                               "TWO",       "LIMITED",  "UNLIMITED", "SCHOOL"};

const TLogRead::THeaderLine* TagAt(const TLogRead& Read, std::size_t Line) {
    for (const TLogRead::THeaderLine& H : Read.Header)
        if (H.Line == Line) return &H;
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TLogRead Read;
    TEntryHeader Header;
    std::vector<THeaderNote> Notes;
    try {
        Read = ReadCabrillo(Text, {});
        Header = ReadEntryHeader(Read, &Notes);
    } catch (...) {
        FUZZ_CHECK(!"reading the header threw");
    }
    const std::vector<std::string_view> Lines = fuzz::LinesOf(Text);
    for (const THeaderNote& N : Notes)
        FUZZ_CHECK(N.Line >= 1 && (N.Line <= Lines.size() || N.Line == 1) && !N.Message.empty());

    std::string Joined;
    for (std::size_t P = 0; P < CategoryParts; ++P) {
        const auto Part = static_cast<TCategoryPart>(P);
        const THeaderValue& V = Header.Part(Part);
        if (!V.Given()) {
            FUZZ_CHECK(V.Value.empty());
            continue;
        }
        FUZZ_CHECK(V.Line <= Lines.size());
        const TLogRead::THeaderLine* Tag = TagAt(Read, V.Line);
        FUZZ_CHECK(Tag != nullptr && Tag->Tag.rfind("CATEGORY", 0) == 0);
        const std::string Line = UpperAscii(Lines[V.Line - 1]);
        FUZZ_CHECK(Line.find(UpperAscii(Tag->Value)) != std::string::npos);
        if (Tag->Tag == "CATEGORY") {
            const std::string Value = UpperAscii(Tag->Value);
            const std::vector<std::string_view> Words = SplitWords(Value);
            FUZZ_CHECK(Header.CategoryLine);
            FUZZ_CHECK(std::find(Words.begin(), Words.end(), V.Value) != Words.end() ||
                       std::find(std::begin(SaidByOldWords), std::end(SaidByOldWords), V.Value) !=
                           std::end(SaidByOldWords));
        } else {
            FUZZ_CHECK(Tag->Tag == "CATEGORY-" + std::string(CategoryPartName(Part)));
            FUZZ_CHECK(Line.find(V.Value) != std::string::npos);
        }
        const auto& Values = CategoryValues(Part);
        if (!V.Value.empty() && std::find(Values.begin(), Values.end(), V.Value) == Values.end())
            FUZZ_CHECK(std::any_of(Notes.begin(), Notes.end(),
                                   [&](const THeaderNote& N) { return N.Line == V.Line; }));
        if (!V.Value.empty()) Joined += (Joined.empty() ? "" : " ") + V.Value;
    }
    FUZZ_CHECK(Header.CategoryText() == Joined);
    FUZZ_CHECK(Header.HasCategory() == !Joined.empty());
    FUZZ_CHECK(!Header.CheckLog() || Header.Part(TCategoryPart::Operator).Value == "CHECKLOG");
    if (const auto Band = Header.SingleBand()) FUZZ_CHECK(Header.Part(TCategoryPart::Band).Given());

    // The single values: each on its line, as written (the call in capitals).
    for (const THeaderValue* V : {&Header.Call, &Header.Contest, &Header.ClaimedScore, &Header.Name,
                                  &Header.Club, &Header.Location, &Header.Soapbox}) {
        if (!V->Given()) continue;
        FUZZ_CHECK(V->Line <= Lines.size());
        const std::string_view First = std::string_view(V->Value).substr(0, V->Value.find('\n'));
        const std::string Line(Lines[V->Line - 1]);
        FUZZ_CHECK((V == &Header.Call ? UpperAscii(Line) : Line).find(First) != std::string::npos);
    }
    return 0;
}
