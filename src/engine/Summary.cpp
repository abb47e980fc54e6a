#include "Summary.h"

#include "Text.h"

#include <cstdint>

namespace brevlund {

std::string PadLeft(std::string_view S, std::size_t Width, char Fill) {
    std::string Result;
    if (S.size() < Width) Result.assign(Width - S.size(), Fill);
    Result.append(S);
    return Result;
}

namespace {

// A line of the table after its first column: three numbers, each right-aligned
// in six characters and followed by a tab.
void AppendNumbers(std::string& Text, std::int64_t QSOs, std::int64_t Points,
                   std::int64_t Multipliers) {
    for (const std::int64_t Value : {QSOs, Points, Multipliers}) {
        Text += PadLeft(std::to_string(Value), 6, ' ');
        Text += '\t';
    }
    Text += "\r\n";
}

} // namespace

TTotals Totals(const std::vector<TStatistic>& BandStats) {
    TTotals Sums;
    for (const TStatistic& Stat : BandStats) {
        Sums.QSOs += Stat.QSOs;
        Sums.Points += Stat.Points;
        Sums.Multipliers += Stat.Multipliers;
    }
    return Sums;
}

std::string ScoreLine(const TTotals& Sums) {
    return " Score: " + std::to_string(Sums.Points) + "*" + std::to_string(Sums.Multipliers) + "=" +
           std::to_string(Sums.Score());
}

std::string SummaryText(const std::vector<TStatistic>& BandStats) {
    std::string Text = "  Band\t  QSOs\tPoints\t   OBL\t\r\n";
    for (const TStatistic& Stat : BandStats) {
        Text += PadLeft(Stat.Band, 4, ' ');
        Text += '\t';
        AppendNumbers(Text, Stat.QSOs, Stat.Points, Stat.Multipliers);
    }
    const TTotals Sums = Totals(BandStats);
    Text += "Total\t";
    AppendNumbers(Text, Sums.QSOs, Sums.Points, Sums.Multipliers);
    Text += ScoreLine(Sums) + "\r\n";
    return std::string(Trim(Text));
}

} // namespace brevlund
