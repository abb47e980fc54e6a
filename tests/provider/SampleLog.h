// A made-up log for the checks and the benchmarks: the same rows on every
// run, as text with nulls, ready to be written into any database's table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brevlund::sample {

// Small letters for the 26 capitals A to Z, nothing else changed.
inline std::string Fold(std::string Text) {
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return Text;
}

using TValue = std::optional<std::string>;

// Column names as the header line writes them; ":int" ends an integer column.
struct TTable {
    std::vector<std::string> Header; // as written, ":int" included
    std::vector<std::vector<TValue>> Rows;

    // The value of a column of a row, by its name without ":int".
    TValue Get(const std::vector<TValue>& Row, const std::string& Name) const {
        for (std::size_t I = 0; I < Header.size(); ++I) {
            std::string H = Header[I];
            if (H.size() > 4 && H.compare(H.size() - 4, 4, ":int") == 0) H.resize(H.size() - 4);
            if (Fold(H) == Fold(Name)) return Row[I];
        }
        return std::nullopt;
    }
};

// A log of Count QSOs, the same for every run: calls, all nine bands and a
// few others, three modes, exchanges with and without areas, repeats.
inline TTable MakeLog(int Count) {
    TTable Table;
    Table.Header = {"Nr:int",    "CallSign", "DigiBand",   "QSOMode",   "QSOReportRecived",
                    "Continent", "Comment",  "DXCCPrefix", "MainPrefix"};
    const char* Prefixes[] = {"SM", "OH", "DL", "G", "F", "I", "EA", "K", "JA", "VK", "LA", "OZ"};
    const char* Bands[] = {"1.8", "3.5", "7", "10", "14", "18", "21", "24", "28", "50", "144"};
    const char* Modes[] = {"CW", "SSB", "FT8"};
    const char* Exchanges[] = {"599 AN", "59 bo",  "001 CE ", "599 ZZ", "5NN",
                               "59 pe",  "599 XY", "59 MA",   "599 os"};
    const char* Continents[] = {"eu", "EU", "as", "Na", "oc"};
    std::uint32_t Seed = 12345;
    auto Next = [&Seed](std::uint32_t Bound) {
        Seed = Seed * 1103515245u + 12345u;
        return (Seed >> 8) % Bound;
    };
    for (int I = 0; I < Count; ++I) {
        if (I > 10 && I % 9 == 0) { // a QSO logged twice
            std::vector<TValue> Again = Table.Rows[Next(static_cast<std::uint32_t>(I))];
            Again[0] = std::to_string(I + 1);
            Table.Rows.push_back(Again);
            continue;
        }
        std::string Call = Prefixes[Next(12)];
        Call += static_cast<char>('0' + Next(10));
        for (std::uint32_t L = 1 + Next(3); L > 0; --L)
            Call += static_cast<char>('A' + Next(26));
        Table.Rows.push_back(
            {std::to_string(I + 1), Call, std::string(Bands[Next(11)]), std::string(Modes[Next(3)]),
             std::string(Exchanges[Next(9)]), std::string(Continents[Next(5)]),
             std::string("row ") + std::to_string(I), Call.substr(0, 2), Call.substr(0, 3)});
    }
    return Table;
}

} // namespace brevlund::sample
