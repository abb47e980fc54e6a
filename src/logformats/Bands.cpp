#include "Bands.h"
#include "engine/Text.h"

#include "AreaCheck.h"

#include <algorithm>
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

// Cabrillo's band codes from 50 MHz up, in the spelling its logs use, with the
// band each covers in kHz (both ends inside).
constexpr std::array<TRange, 17> Upper = {{{50000, 54000, "50"},
                                           {70000, 71000, "70"},
                                           {144000, 148000, "144"},
                                           {219000, 225000, "222"},
                                           {420000, 450000, "432"},
                                           {902000, 928000, "902"},
                                           {1240000, 1300000, "1.2G"},
                                           {2300000, 2450000, "2.3G"},
                                           {3300000, 3500000, "3.4G"},
                                           {5650000, 5925000, "5.7G"},
                                           {10000000, 10500000, "10G"},
                                           {24000000, 24250000, "24G"},
                                           {47000000, 47200000, "47G"},
                                           {75500000, 81000000, "75G"},
                                           {122250000, 123000000, "122G"},
                                           {134000000, 141000000, "134G"},
                                           {241000000, 250000000, "241G"}}};

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
        if ((C == '.' || C == ',') && !Point) { // a decimal comma too, as some locales write
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

template <std::size_t N>
std::optional<std::string_view> BandIn(const std::array<TRange, N>& Table, const TScaled& KHz) {
    for (const TRange& R : Table)
        if (KHz.Whole >= R.Low && (KHz.Whole < R.High || (KHz.Whole == R.High && !KHz.Beyond)))
            return R.Label;
    return std::nullopt;
}

std::optional<std::string_view> BandOf(std::optional<TScaled> KHz) {
    if (!KHz) return std::nullopt;
    if (auto Band = BandIn(Ranges, *KHz)) return Band;
    return BandIn(Upper, *KHz);
}

} // namespace

std::optional<std::string_view> BandOfKHz(std::string_view Text) {
    return BandOf(Scale(Text, 0));
}

std::optional<std::string_view> BandOfMHz(std::string_view Text) {
    return BandOf(Scale(Text, 3));
}

std::optional<std::string_view> BandOfAdifFreq(std::string_view Text) {
    if (auto Band = BandOfMHz(Text)) return Band;
    // Some programs write kHz; no band in MHz lies where a kHz figure of a
    // band would (but 10 GHz over 30 m, which MHz takes as the field says).
    return BandOfKHz(Text);
}

std::optional<std::string_view> BandOfCode(std::string_view Code) {
    for (const TRange& R : Upper)
        if (SameTextAscii(Code, R.Label)) return R.Label;
    if (SameTextAscii(Code, "123G")) return "122G"; // the band's older name
    if (SameTextAscii(Code, "LIGHT")) return "LIGHT";
    return std::nullopt;
}

bool IsContestBand(std::string_view Label) {
    for (const TRange& R : Ranges)
        if (Label == R.Label) return true;
    for (const TRange& R : Upper)
        if (Label == R.Label) return true;
    return Label == "LIGHT";
}

std::optional<std::string_view> BandOfAdifName(std::string_view Name) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 26> Names = {{
        {"160M", "1.8"},   {"80M", "3.5"},   {"40M", "7"},     {"30M", "10"},     {"20M", "14"},
        {"17M", "18"},     {"15M", "21"},    {"12M", "24"},    {"10M", "28"},     {"6M", "50"},
        {"4M", "70"},      {"2M", "144"},    {"1.25M", "222"}, {"70CM", "432"},   {"33CM", "902"},
        {"23CM", "1.2G"},  {"13CM", "2.3G"}, {"9CM", "3.4G"},  {"6CM", "5.7G"},   {"3CM", "10G"},
        {"1.25CM", "24G"}, {"6MM", "47G"},   {"4MM", "75G"},   {"2.5MM", "122G"}, {"2MM", "134G"},
        {"1MM", "241G"},
    }};
    for (const auto& [Adif, Label] : Names)
        if (SameTextAscii(Name, Adif)) return Label;
    return std::nullopt;
}

std::string AdifMode(std::string_view Mode) {
    return UpperAscii(Mode);
}

bool IsKnownMode(std::string_view Mode) {
    // The engine's words for Cabrillo's modes, and ADIF's modes.
    static constexpr std::string_view Known[] = {
        "CW",     "SSB",  "RTTY",     "DIGI",         "FM",     "AM",     "ARDOP",   "ATV",
        "CHIP",   "CLO",  "CONTESTI", "DIGITALVOICE", "DOMINO", "DSTAR",  "DYNAMIC", "FAX",
        "FSK441", "FT4",  "FT8",      "HELL",         "ISCAT",  "JT4",    "JT9",     "JT44",
        "JT65",   "JT6M", "MFSK",     "MSK144",       "MT63",   "OLIVIA", "OPERA",   "PAC",
        "PAX",    "PKT",  "PSK",      "PSK2K",        "Q15",    "QRA64",  "ROS",     "RTTYM",
        "SSTV",   "T10",  "THOR",     "THRB",         "TOR",    "V4",     "VOI",     "WINMOR",
        "WSPR",   "USB",  "LSB",      "PSK31",        "PSK63",  "C4FM",   "DMR"};
    for (std::string_view K : Known)
        if (Mode == K) return true;
    return false;
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
        if (SameTextAscii(Mode, Cabrillo)) return std::string(Engine);
    return AdifMode(Mode); // in capitals, so that case never splits a mode
}

void TUnknownBandsAndModes::Note(const TLogQSO& Qso) {
    if (!IsContestBand(Qso.Band)) {
        TSeen& S = Bands[Qso.Band];
        if (S.Count++ == 0) S.FirstLine = Qso.Line;
    }
    if (!IsKnownMode(Qso.Mode)) {
        TSeen& S = Modes[Qso.Mode];
        if (S.Count++ == 0) S.FirstLine = Qso.Line;
    }
}

void TUnknownBandsAndModes::Warn(TLogRead& Read) const {
    const auto Carry = [](std::size_t N) {
        return std::to_string(N) + (N == 1 ? " QSO carries it" : " QSOs carry it");
    };
    for (const auto& [Band, S] : Bands)
        Read.Warnings.push_back({S.FirstLine, "band " + Quoted(Band) +
                                                  " is no contest band: scored as written, 0 "
                                                  "points; " +
                                                  Carry(S.Count)});
    for (const auto& [Mode, S] : Modes)
        Read.Warnings.push_back(
            {S.FirstLine,
             "mode " + Quoted(Mode) + " is no known mode: scored as written; " + Carry(S.Count)});
    std::stable_sort(Read.Warnings.begin(), Read.Warnings.end(),
                     [](const TLogProblem& A, const TLogProblem& B) { return A.Line < B.Line; });
}

} // namespace brevlund::logformats
