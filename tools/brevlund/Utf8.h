// UTF-8 as logs bring it: decoded where a byte-order mark says so, and told
// apart from Latin-1 where no mark says anything.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brevlund::cli {

// The character at the start of Bytes and the bytes it takes. Where no whole,
// shortest form of a character starts there, Code is NotAChar and Length
// counts the bytes to pass over (at least 1).
struct TUtf8Char {
    static constexpr std::uint32_t NotAChar = 0x110000;
    std::uint32_t Code;
    std::size_t Length;
};

inline TUtf8Char Utf8CharAt(std::string_view Bytes) {
    const auto Byte = [&](std::size_t At) { return static_cast<unsigned char>(Bytes[At]); };
    const unsigned char Lead = Byte(0);
    std::size_t Length = 1;
    std::uint32_t Min = 0;
    if (Lead < 0x80) return {Lead, 1};
    if (Lead >= 0xC2 && Lead <= 0xDF)
        Length = 2, Min = 0x80;
    else if (Lead >= 0xE0 && Lead <= 0xEF)
        Length = 3, Min = 0x800;
    else if (Lead >= 0xF0 && Lead <= 0xF4)
        Length = 4, Min = 0x10000;
    else
        return {TUtf8Char::NotAChar, 1};
    std::uint32_t Code = Lead & (0xFFu >> (Length + 1));
    std::size_t Got = 1;
    for (; Got < Length && Got < Bytes.size() && (Byte(Got) & 0xC0) == 0x80; ++Got)
        Code = (Code << 6) | (Byte(Got) & 0x3F);
    const bool Whole =
        Got == Length && Code >= Min && Code <= 0x10FFFF && !(Code >= 0xD800 && Code <= 0xDFFF);
    return {Whole ? Code : TUtf8Char::NotAChar, Got};
}

// True when Text is UTF-8 through and through (plain ASCII is).
inline bool IsUtf8(std::string_view Text) {
    for (std::size_t At = 0; At < Text.size();) {
        const TUtf8Char C = Utf8CharAt(Text.substr(At));
        if (C.Code == TUtf8Char::NotAChar) return false;
        At += C.Length;
    }
    return true;
}

} // namespace brevlund::cli
