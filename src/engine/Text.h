// Text rules shared by the engine: byte order, trimming and capitals as the
// host's data needs them (single-byte text, no locale involved).
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund {

// Every character of code 32 or less counts as blank, bytes above 127 do not.
inline bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= 32;
}

inline std::string_view Trim(std::string_view S) {
    while (!S.empty() && IsBlank(S.front()))
        S.remove_prefix(1);
    while (!S.empty() && IsBlank(S.back()))
        S.remove_suffix(1);
    return S;
}

// Only a to z change; every other byte stays as it is.
inline char UpperAscii(char C) {
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
}

inline std::string UpperAscii(std::string_view S) {
    std::string Result(S);
    for (char& C : Result)
        C = UpperAscii(C);
    return Result;
}

// The same into To, which keeps its room: readers fill one record per line.
inline void AssignUpperAscii(std::string& To, std::string_view S) {
    To.assign(S.data(), S.size());
    for (char& C : To)
        C = UpperAscii(C);
}

// Between the tokens of a log line a no-break space stands for a blank, as
// programs and mail put it there: byte A0 (Latin-1) or C2 A0 (UTF-8), after
// plain ASCII or another blank only, so that the A0 inside a UTF-8 character
// ("\xC3\xA0" is a small a with a grave) stays part of its token. The bytes
// the blank at Text[At] takes, or 0; AfterPlain: the byte before At is below
// 128 or belongs to a blank, or At is 0.
inline std::size_t TokenBlankAt(std::string_view Text, std::size_t At, bool AfterPlain) {
    const char C = Text[At];
    if (IsBlank(C)) return 1;
    if (!AfterPlain) return 0;
    if (C == '\xA0') return 1;
    return C == '\xC2' && At + 1 < Text.size() && Text[At + 1] == '\xA0' ? 2 : 0;
}

// Equal when only the letters a to z and A to Z differ in case.
inline bool SameTextAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I])) return false;
    return true;
}

// Calls Visit(number, line) for every line: lines end at CR LF, LF or CR, and
// a final line needs no end. A NUL is an ordinary byte here.
template <typename Visitor> void ForEachLine(std::string_view Text, Visitor&& Visit) {
    // A plain scan: find_first_of asks memchr once per byte.
    const char* At = Text.data();
    const char* const End = At + Text.size();
    std::size_t Number = 0;
    while (At < End) {
        const char* Stop = At;
        while (Stop < End && *Stop != '\n' && *Stop != '\r')
            ++Stop;
        Visit(++Number, std::string_view(At, static_cast<std::size_t>(Stop - At)));
        if (Stop + 1 < End && *Stop == '\r' && Stop[1] == '\n') ++Stop;
        At = Stop + 1;
    }
}

// The line number of a byte's offset, lines counted as ForEachLine counts them.
class TLineNumbers {
public:
    explicit TLineNumbers(std::string_view Text) {
        ForEachLine(Text, [&](std::size_t, std::string_view Line) {
            Starts.push_back(static_cast<std::size_t>(Line.data() - Text.data()));
        });
    }
    std::size_t LineOf(std::size_t Offset) const {
        const auto After = std::upper_bound(Starts.begin(), Starts.end(), Offset);
        return std::max<std::size_t>(1, static_cast<std::size_t>(After - Starts.begin()));
    }

private:
    std::vector<std::size_t> Starts; // where each line begins
};

// Byte order: unsigned bytes, a prefix sorts first. std::string_view::compare
// does exactly this, since char_traits<char> compares as unsigned char.
inline int CompareBytes(std::string_view A, std::string_view B) {
    const int R = A.compare(B);
    return (R > 0) - (R < 0);
}

} // namespace brevlund
