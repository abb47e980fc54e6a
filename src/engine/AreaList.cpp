#include "AreaList.h"

#include "LocaleText.h"
#include "Text.h"

#include <cstdio>
#include <memory>

namespace brevlund {

namespace {

#ifdef _WIN32
constexpr std::string_view FolderMarks = "\\:";
constexpr std::string_view FileInFolder = "Plugins\\brevlund.dom";
#else
constexpr std::string_view FolderMarks = "\\:/";
constexpr std::string_view FileInFolder = "Plugins/brevlund.dom";
#endif

struct FileCloser {
    void operator()(std::FILE* F) const { std::fclose(F); }
};

// The whole file, or false when it cannot be opened or read to its end.
bool ReadWholeFile(const std::string& Path, std::string& Out) {
    std::unique_ptr<std::FILE, FileCloser> File(std::fopen(Path.c_str(), "rb"));
    if (!File) return false;
    std::string Text;
    char Buffer[16384];
    for (;;) {
        const std::size_t Got = std::fread(Buffer, 1, sizeof Buffer, File.get());
        Text.append(Buffer, Got);
        if (Got < sizeof Buffer) break;
    }
    // A directory opens on some systems and then fails on the first read.
    if (std::ferror(File.get())) return false;
    Out = std::move(Text);
    return true;
}

bool IsCode(std::string_view Code) {
    return Code.size() == 2 && Code[0] >= 'A' && Code[0] <= 'Z' && Code[1] >= 'A' && Code[1] <= 'Z';
}

} // namespace

std::string AreaListPath(std::string_view HostExePath) {
    const std::size_t Mark = HostExePath.find_last_of(FolderMarks);
    std::string Path(Mark == std::string_view::npos ? std::string_view{}
                                                    : HostExePath.substr(0, Mark + 1));
    Path += FileInFolder;
    return Path;
}

std::vector<std::string> SplitLines(std::string_view Text) {
    Text = Text.substr(0, Text.find('\0'));
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    while (Start < Text.size()) {
        std::size_t End = Text.find_first_of("\r\n", Start);
        if (End == std::string_view::npos) End = Text.size();
        Lines.emplace_back(Text.substr(Start, End - Start));
        if (End < Text.size() && Text[End] == '\r' && End + 1 < Text.size() &&
            Text[End + 1] == '\n')
            ++End;
        Start = End + 1;
    }
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
    if (!ReadWholeFile(Path, Text)) return false;
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
    if (!IsCode(Code)) return Value(Code) == Code;
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
