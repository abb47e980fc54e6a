#include "LogRecord.h"

namespace brevlund::logformats {

std::size_t CountLines(std::string_view Text) {
    std::size_t Count = 0;
    ForEachLine(Text, [&](std::size_t, std::string_view) { ++Count; });
    return Count;
}

std::vector<std::string_view> SplitWords(std::string_view Line) {
    std::vector<std::string_view> Words;
    std::size_t I = 0;
    const auto Blank = [&](std::size_t At) { return static_cast<unsigned char>(Line[At]) <= 32; };
    while (I < Line.size()) {
        while (I < Line.size() && Blank(I))
            ++I;
        const std::size_t Start = I;
        while (I < Line.size() && !Blank(I))
            ++I;
        if (I > Start) Words.push_back(Line.substr(Start, I - Start));
    }
    return Words;
}

} // namespace brevlund::logformats
