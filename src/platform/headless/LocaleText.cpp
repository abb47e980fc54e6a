// The user's locale without Windows: the word sort that CompareStringA applies
// in the default (English) locale, for the single-byte texts the plug-in meets.
//
// A text compares in three rounds, each deciding only when the ones before
// found the texts equal:
//   1. the letters, digits and symbols, letter case ignored; hyphen, apostrophe
//      and control characters are passed over here;
//   2. letter case, small before capital (left out when case is ignored);
//   3. the characters passed over in round 1, by where they stand (one further
//      to the front sorts later) and then by which they are.
// Symbols sort before digits and digits before letters, in Windows' own order
// of symbols. Bytes from 128 up are outside what the plug-in meets: they sort
// after the letters, by their value.
#include "engine/LocaleText.h"

#include <array>
#include <cstddef>

namespace brevlund::locale {

namespace {

struct TWeight {
    bool Special = false;     // passed over in round 1
    unsigned short Value = 0; // the primary weight, or the special weight
    bool Capital = false;
};

// The symbols and digits in the order of Windows' default sort table.
constexpr char PrimaryOrder[] = " \t\n\v\f\r!\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789";
// Passed over in round 1, in this order: control characters, then ' and -.
constexpr char SpecialOrder[] = "\x01\x02\x03\x04\x05\x06\x07\x08\x0e\x0f\x10\x11\x12\x13\x14"
                                "\x15\x16\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f\x7f'-";

std::array<TWeight, 256> MakeWeights() {
    std::array<TWeight, 256> Table{};
    unsigned short Next = 1;
    for (const char* C = PrimaryOrder; *C; ++C)
        Table[static_cast<unsigned char>(*C)].Value = Next++;
    for (char Letter = 'a'; Letter <= 'z'; ++Letter) {
        Table[static_cast<unsigned char>(Letter)].Value = Next;
        TWeight& Capital = Table[static_cast<unsigned char>(Letter - 'a' + 'A')];
        Capital.Value = Next++;
        Capital.Capital = true;
    }
    for (int Byte = 128; Byte < 256; ++Byte)
        Table[Byte].Value = Next++;
    // NUL stands first among the passed-over characters.
    Table[0] = {true, 0, false};
    unsigned short Special = 1;
    for (const char* C = SpecialOrder; *C; ++C)
        Table[static_cast<unsigned char>(*C)] = {true, Special++, false};
    return Table;
}

const std::array<TWeight, 256>& Weights() {
    static const std::array<TWeight, 256> Table = MakeWeights();
    return Table;
}

const TWeight& Weight(std::string_view Text, std::size_t I) {
    return Weights()[static_cast<unsigned char>(Text[I])];
}

// The first character from I on that round 1 takes part in, or the end.
std::size_t NextPrimary(std::string_view Text, std::size_t I) {
    while (I < Text.size() && Weight(Text, I).Special)
        ++I;
    return I;
}

// The first passed-over character from I on, or the end; Before counts the
// characters of round 1 stepped over on the way.
std::size_t NextSpecial(std::string_view Text, std::size_t I, std::size_t& Before) {
    while (I < Text.size() && !Weight(Text, I).Special) {
        ++I;
        ++Before;
    }
    return I;
}

// Walks both texts in place: the comparison runs for every line of the area
// list and every sort of the multipliers list, so it allocates nothing.
int CompareKeys(std::string_view A, std::string_view B, bool IgnoreCase) {
    std::size_t I = NextPrimary(A, 0), J = NextPrimary(B, 0);
    for (; I < A.size() && J < B.size(); I = NextPrimary(A, I + 1), J = NextPrimary(B, J + 1))
        if (Weight(A, I).Value != Weight(B, J).Value)
            return Weight(A, I).Value < Weight(B, J).Value ? -1 : 1;
    if (I < A.size() || J < B.size()) return I < A.size() ? 1 : -1;

    if (!IgnoreCase)
        for (I = NextPrimary(A, 0), J = NextPrimary(B, 0); I < A.size() && J < B.size();
             I = NextPrimary(A, I + 1), J = NextPrimary(B, J + 1))
            if (Weight(A, I).Capital != Weight(B, J).Capital) return Weight(A, I).Capital ? 1 : -1;

    std::size_t BeforeA = 0, BeforeB = 0;
    for (I = NextSpecial(A, 0, BeforeA), J = NextSpecial(B, 0, BeforeB);
         I < A.size() && J < B.size();
         I = NextSpecial(A, I + 1, BeforeA), J = NextSpecial(B, J + 1, BeforeB)) {
        // Nearer the front sorts later.
        if (BeforeA != BeforeB) return BeforeA > BeforeB ? -1 : 1;
        if (Weight(A, I).Value != Weight(B, J).Value)
            return Weight(A, I).Value < Weight(B, J).Value ? -1 : 1;
    }
    return I < A.size() ? 1 : J < B.size() ? -1 : 0;
}

} // namespace

bool SameText(std::string_view A, std::string_view B) {
    return CompareKeys(A, B, true) == 0;
}

int Compare(std::string_view A, std::string_view B) {
    return CompareKeys(A, B, false);
}

} // namespace brevlund::locale
