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

void AppendColumn(std::string& Text, std::int64_t Value) {
    Text += PadLeft(std::to_string(Value), 6, ' ');
    Text += '\t';
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
        AppendColumn(Text, Stat.QSOs);
        AppendColumn(Text, Stat.Points);
        AppendColumn(Text, Stat.Multipliers);
        Text += "\r\n";
    }
    const TTotals Sums = Totals(BandStats);
    Text += "Total\t";
    AppendColumn(Text, Sums.QSOs);
    AppendColumn(Text, Sums.Points);
    AppendColumn(Text, Sums.Multipliers);
    Text += "\r\n" + ScoreLine(Sums) + "\r\n";
    return std::string(Trim(Text));
}

} // namespace brevlund
