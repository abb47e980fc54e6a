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
#include <functional>
#include <utility>
#include <vector>

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

// One text taken apart into the three rounds.
struct TKey {
    std::vector<unsigned short> Primary;
    std::vector<bool> Capitals;
    // Passed-over characters: how many primary characters stand before each,
    // and its weight.
    std::vector<std::pair<std::size_t, unsigned short>> Specials;

    explicit TKey(std::string_view Text) {
        for (const char C : Text) {
            const TWeight& W = Weights()[static_cast<unsigned char>(C)];
            if (W.Special) {
                Specials.emplace_back(Primary.size(), W.Value);
            } else {
                Primary.push_back(W.Value);
                Capitals.push_back(W.Capital);
            }
        }
    }
};

template <typename T, typename Less>
int CompareSequences(const std::vector<T>& A, const std::vector<T>& B, Less IsLess) {
    for (std::size_t I = 0; I < A.size() && I < B.size(); ++I) {
        if (IsLess(A[I], B[I])) return -1;
        if (IsLess(B[I], A[I])) return 1;
    }
    return A.size() < B.size() ? -1 : A.size() > B.size() ? 1 : 0;
}

int CompareKeys(std::string_view A, std::string_view B, bool IgnoreCase) {
    const TKey KA(A), KB(B);
    if (const int R = CompareSequences(KA.Primary, KB.Primary, std::less<unsigned short>()))
        return R;
    if (!IgnoreCase)
        if (const int R = CompareSequences(KA.Capitals, KB.Capitals, std::less<bool>())) return R;
    using TSpecial = std::pair<std::size_t, unsigned short>;
    return CompareSequences(KA.Specials, KB.Specials, [](const TSpecial& X, const TSpecial& Y) {
        // Nearer the front sorts later.
        if (X.first != Y.first) return X.first > Y.first;
        return X.second < Y.second;
    });
}

} // namespace

bool SameText(std::string_view A, std::string_view B) {
    return CompareKeys(A, B, true) == 0;
}

int Compare(std::string_view A, std::string_view B) {
    return CompareKeys(A, B, false);
}

} // namespace brevlund::locale
