// Text rules shared by the engine: byte order, trimming and capitals as the
// host's data needs them (single-byte text, no locale involved).
#pragma once

#include <string>
#include <string_view>

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
inline std::string UpperAscii(std::string_view S) {
    std::string Result(S);
    for (char& C : Result)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    return Result;
}

// Byte order: unsigned bytes, a prefix sorts first. std::string_view::compare
// does exactly this, since char_traits<char> compares as unsigned char.
inline int CompareBytes(std::string_view A, std::string_view B) {
    const int R = A.compare(B);
    return (R > 0) - (R < 0);
}

} // namespace brevlund
