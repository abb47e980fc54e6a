// Band labels and modes from what logs write: frequencies in kHz (Cabrillo)
// or MHz (ADIF), ADIF band names, Cabrillo mode abbreviations.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brevlund::logformats {

// The band label of a frequency written as a decimal number ("14025",
// "14025.5"; in MHz "14.025"), or nothing when the text is no such number or
// lies outside the nine contest bands. Range ends count as inside.
std::optional<std::string_view> BandOfKHz(std::string_view Text);
std::optional<std::string_view> BandOfMHz(std::string_view Text);

// "20m" and "20M" give "14"; nothing for any other band name.
std::optional<std::string_view> BandOfAdifName(std::string_view Name);

// CW, PH, RY, DG and FM in the engine's words; any other mode as written.
std::string CabrilloMode(std::string_view Mode);

} // namespace brevlund::logformats
