// Band labels and modes from what logs write: frequencies in kHz (Cabrillo)
// or MHz (ADIF), ADIF band names, Cabrillo mode abbreviations.
#pragma once

#include "LogRecord.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace brevlund::logformats {

// The band label of a frequency written as a decimal number ("14025",
// "14025.5"; in MHz "14.025"; a decimal comma as a point), or nothing when the
// text is no such number or lies outside the bands. The nine HF labels, and
// from 50 MHz up Cabrillo's band codes ("50", "144", "1.2G"). Range ends count
// as inside.
std::optional<std::string_view> BandOfKHz(std::string_view Text);
std::optional<std::string_view> BandOfMHz(std::string_view Text);
// ADIF's FREQ: MHz, else kHz as some programs write it.
std::optional<std::string_view> BandOfAdifFreq(std::string_view Text);

// A Cabrillo band code from 50 MHz up in any case ("1.2g", "light"; "123G"
// is "122G") in its usual spelling; nothing for anything else.
std::optional<std::string_view> BandOfCode(std::string_view Code);

// "20m" and "20M" give "14", "2m" "144", "23cm" "1.2G"; nothing for any
// other band name.
std::optional<std::string_view> BandOfAdifName(std::string_view Name);

// One of the nine HF labels or a band code from 50 MHz up.
bool IsContestBand(std::string_view Label);

// CW, PH, RY, DG and FM in the engine's words; any other mode in capitals.
std::string CabrilloMode(std::string_view Mode);
// ADIF's MODE in capitals.
std::string AdifMode(std::string_view Mode);
// One of the engine's words for Cabrillo's modes or an ADIF mode.
bool IsKnownMode(std::string_view Mode);

// The QSOs of each band outside the contest bands and each mode outside the
// known ones, noted as a reader reads them, for one warning each at the first
// line that has it, with how many QSOs carry it.
class TUnknownBandsAndModes {
public:
    void Note(const TLogQSO& Qso);
    // Adds the warnings to Read's and keeps all of them in line order.
    void Warn(TLogRead& Read) const;

private:
    struct TSeen {
        std::size_t FirstLine = 0, Count = 0;
    };
    std::map<std::string, TSeen> Bands, Modes;
};

} // namespace brevlund::logformats
