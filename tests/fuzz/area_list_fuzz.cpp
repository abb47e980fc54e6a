// The area-list reader over any bytes: the lines it reads equal those of a
// splitter written separately here, a lookup equals a plain first-match scan of
// those lines, and the captions are the trimmed four characters after the "=".
#include "FuzzCheck.h"

#include "engine/AreaList.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace brevlund;

// CR LF, LF or CR end a line; NUL ends the text; a last line needs no end.
std::vector<std::string> PlainSplit(std::string_view Text) {
    std::vector<std::string> Lines;
    std::string Line;
    bool Open = false; // characters since the last line end
    for (std::size_t I = 0; I < Text.size() && Text[I] != '\0'; ++I) {
        const char C = Text[I];
        if (C == '\r' || C == '\n') {
            Lines.push_back(Line);
            Line.clear();
            Open = false;
            if (C == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') ++I;
        } else {
            Line += C;
            Open = true;
        }
    }
    if (Open) Lines.push_back(Line);
    return Lines;
}

char Fold(char C) {
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
}

std::string Folded(std::string_view S, bool Upper) {
    std::string Out(S);
    for (char& C : Out)
        C = Upper ? Fold(C) : ((C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C);
    return Out;
}

// The user's locale on Linux: a to z match their capitals, nothing else folds.
bool SameName(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (Fold(A[I]) != Fold(B[I])) return false;
    return true;
}

std::string FirstMatch(const std::vector<std::string>& Lines, std::string_view Name) {
    for (const std::string& Line : Lines) {
        const std::size_t Equals = Line.find('=');
        if (Equals != std::string::npos && SameName(Line.substr(0, Equals), Name))
            return Line.substr(Equals + 1);
    }
    return {};
}

std::string Caption(const std::string& Line) {
    std::string C = Line.substr(Line.find('=') + 1, 4);
    while (!C.empty() && static_cast<unsigned char>(C.back()) <= 32)
        C.pop_back();
    while (!C.empty() && static_cast<unsigned char>(C.front()) <= 32)
        C.erase(0, 1);
    return C;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    const std::vector<std::string> Expected = PlainSplit(Text);
    FUZZ_CHECK(SplitLines(Text) == Expected);

    // As the window loads it: from the file beside the host.
    TAreaList List;
    FUZZ_CHECK(List.LoadFromFile(fuzz::WriteScratchFile("brevlund.dom", Text)));
    FUZZ_CHECK(List.Lines() == Expected);

    std::vector<std::string> Captions;
    for (const std::string& Line : Expected)
        if (Line.find('=') != std::string::npos) Captions.push_back(Caption(Line));
    const std::vector<std::string> Items = List.ItemCaptions();
    FUZZ_CHECK(Items == Captions);
    for (const std::string& Item : Items)
        FUZZ_CHECK(Item.size() <= 4);

    // Every name of the list in three spellings, and every two-letter code they
    // spell; asked twice, as the answer per code is remembered.
    std::set<std::string> Names = {"", "AB", "ZZ", "A"};
    for (const std::string& Line : Expected) {
        if (Names.size() > 96) break;
        const std::size_t Equals = Line.find('=');
        if (Equals == std::string::npos) continue;
        const std::string Name = Line.substr(0, Equals);
        Names.insert({Name, Folded(Name, true), Folded(Name, false)});
    }
    for (int Round = 0; Round < 2; ++Round)
        for (const std::string& Name : Names) {
            const std::string Value = FirstMatch(Expected, Name);
            FUZZ_CHECK(List.Value(Name) == Value);
            FUZZ_CHECK(List.CountsAsArea(Name) == (Value == Name));
        }
    return 0;
}
