#include "AreaList.h"

#include "LocaleText.h"
#include "Text.h"
#include "WholeFile.h"

namespace brevlund {

std::vector<std::string> SplitLines(std::string_view Text) {
    std::vector<std::string> Lines;
    ForEachLine(Text.substr(0, Text.find('\0')),
                [&](std::size_t, std::string_view Line) { Lines.emplace_back(Line); });
    return Lines;
}

std::string_view ItemCaption(std::string_view Line) {
    const std::size_t Equals = Line.find('=');
    if (Equals == std::string_view::npos) return {};
    return Trim(Line.substr(Equals + 1, 4));
}

void TAreaList::SetLines(std::vector<std::string> Lines) {
    Items = std::move(Lines);
    Known.fill(0);
}

bool TAreaList::LoadFromFile(const std::string& Path) {
    std::string Text;
    if (ReadWholeFile(Path, Text) != TFileRead::Read) return false;
    SetLines(SplitLines(Text));
    return true;
}

std::string_view TAreaList::Value(std::string_view Name) const {
    for (const std::string& Line : Items) {
        const std::size_t Equals = Line.find('=');
        if (Equals == std::string::npos) continue;
        const std::string_view View(Line);
        if (locale::SameText(View.substr(0, Equals), Name)) return View.substr(Equals + 1);
    }
    return {};
}

bool TAreaList::CountsAsArea(std::string_view Code) const {
    if (!IsAreaCode(Code)) return Value(Code) == Code;
    std::uint8_t& Answer = Known[(Code[0] - 'A') * 26 + (Code[1] - 'A')];
    if (Answer == 0) Answer = Value(Code) == Code ? 1 : 2;
    return Answer == 1;
}

std::vector<std::string> TAreaList::ItemCaptions() const {
    std::vector<std::string> Captions;
    for (const std::string& Line : Items)
        if (Line.find('=') != std::string::npos) Captions.emplace_back(ItemCaption(Line));
    return Captions;
}

} // namespace brevlund
