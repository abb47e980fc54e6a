#include "Bands.h"

#include <array>
#include <cstdint>

namespace brevlund::logformats {

namespace {

struct TRange {
    std::uint64_t Low, High; // kHz, both inside
    std::string_view Label;
};

constexpr std::array<TRange, 9> Ranges = {{{1800, 2000, "1.8"},
                                           {3500, 4000, "3.5"},
                                           {7000, 7300, "7"},
                                           {10100, 10150, "10"},
                                           {14000, 14350, "14"},
                                           {18068, 18168, "18"},
                                           {21000, 21450, "21"},
                                           {24890, 24990, "24"},
                                           {28000, 29700, "28"}}};

// A decimal number scaled by 10^Shift, split into its whole part and whether
// anything non-zero follows that. Exact, so 14.35 MHz is 14350 kHz and not a
// hair below. Nothing for text that is not digits with at most one point.
struct TScaled {
    std::uint64_t Whole;
    bool Beyond;
};

std::optional<TScaled> Scale(std::string_view Text, int Shift) {
    TScaled Result{0, false};
    bool Point = false, Digits = false;
    int After = 0; // digits taken after the point
    for (char C : Text) {
        if (C == '.' && !Point) {
            Point = true;
            continue;
        }
        if (C < '0' || C > '9') return std::nullopt;
        Digits = true;
        if (Point && After >= Shift) {
            Result.Beyond = Result.Beyond || C != '0';
            continue;
        }
        if (Point) ++After;
        if (Result.Whole > 1'000'000'000'000ull) return std::nullopt; // far beyond any band
        Result.Whole = Result.Whole * 10 + static_cast<std::uint64_t>(C - '0');
    }
    if (!Digits) return std::nullopt;
    for (; After < Shift; ++After) {
        if (Result.Whole > 1'000'000'000'000ull) return std::nullopt;
        Result.Whole *= 10;
    }
    return Result;
}

std::optional<std::string_view> BandOf(std::optional<TScaled> KHz) {
    if (!KHz) return std::nullopt;
    for (const TRange& R : Ranges)
        if (KHz->Whole >= R.Low && (KHz->Whole < R.High || (KHz->Whole == R.High && !KHz->Beyond)))
            return R.Label;
    return std::nullopt;
}

bool SameAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I) {
        char X = A[I], Y = B[I];
        if (X >= 'a' && X <= 'z') X = static_cast<char>(X - 'a' + 'A');
        if (Y >= 'a' && Y <= 'z') Y = static_cast<char>(Y - 'a' + 'A');
        if (X != Y) return false;
    }
    return true;
}

} // namespace

std::optional<std::string_view> BandOfKHz(std::string_view Text) {
    return BandOf(Scale(Text, 0));
}

std::optional<std::string_view> BandOfMHz(std::string_view Text) {
    return BandOf(Scale(Text, 3));
}

std::optional<std::string_view> BandOfAdifName(std::string_view Name) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 9> Names = {{
        {"160M", "1.8"},
        {"80M", "3.5"},
        {"40M", "7"},
        {"30M", "10"},
        {"20M", "14"},
        {"17M", "18"},
        {"15M", "21"},
        {"12M", "24"},
        {"10M", "28"},
    }};
    for (const auto& [Adif, Label] : Names)
        if (SameAscii(Name, Adif)) return Label;
    return std::nullopt;
}

std::string CabrilloMode(std::string_view Mode) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 5> Modes = {{
        {"CW", "CW"},
        {"PH", "SSB"},
        {"RY", "RTTY"},
        {"DG", "DIGI"},
        {"FM", "FM"},
    }};
    for (const auto& [Cabrillo, Engine] : Modes)
        if (SameAscii(Mode, Cabrillo)) return std::string(Engine);
    return std::string(Mode);
}

} // namespace brevlund::logformats
