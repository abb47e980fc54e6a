// The area list: the lines of Plugins\brevlund.dom, NAME=VALUE, read once per
// statistics window. An area AB counts as a multiplier when the first line named
// AB (letter case ignored) has exactly the value AB.
#pragma once

#include "HostPath.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund {

// Two capitals A to Z: the form of every area code.
inline bool IsAreaCode(std::string_view Code) {
    const auto Capital = [](char C) { return C >= 'A' && C <= 'Z'; };
    return Code.size() == 2 && Capital(Code[0]) && Capital(Code[1]);
}

// Lines end at CR LF, LF or CR; a NUL ends the text; a final line needs no end.
std::vector<std::string> SplitLines(std::string_view Text);

// The caption of a line holding "=": the at most four characters after the
// first "=", trimmed.
std::string_view ItemCaption(std::string_view Line);

class TAreaList {
public:
    const std::vector<std::string>& Lines() const { return Items; }
    void SetLines(std::vector<std::string> Lines);

    // Replaces the lines with the file's when a readable file is there. A missing
    // or unreadable file (a directory, say) leaves the list as it was.
    bool LoadFromFile(const std::string& Path);

    // The value of the first line whose name equals Name without regard to case,
    // or the empty text.
    std::string_view Value(std::string_view Name) const;

    // Whether the two-capital code counts as a multiplier. The answer per code is
    // remembered, as the lines never change once loaded.
    bool CountsAsArea(std::string_view Code) const;

    // One caption per line holding "=", in file order.
    std::vector<std::string> ItemCaptions() const;

private:
    std::vector<std::string> Items;
    // Per two-capital code: 0 not yet known, 1 counts, 2 does not.
    mutable std::array<std::uint8_t, 26 * 26> Known{};
};

} // namespace brevlund
