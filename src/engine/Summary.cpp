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

std::string SummaryText(const std::vector<TStatistic>& BandStats) {
    // The sums and the score are 64-bit: a long contest must not wrap around.
    std::int64_t QSOs = 0, Points = 0, Multipliers = 0;
    std::string Text = "  Band\t  QSOs\tPoints\t   OBL\t\r\n";
    for (const TStatistic& Stat : BandStats) {
        Text += PadLeft(Stat.Band, 4, ' ');
        Text += '\t';
        AppendColumn(Text, Stat.QSOs);
        AppendColumn(Text, Stat.Points);
        AppendColumn(Text, Stat.Multipliers);
        Text += "\r\n";
        QSOs += Stat.QSOs;
        Points += Stat.Points;
        Multipliers += Stat.Multipliers;
    }
    Text += "Total\t";
    AppendColumn(Text, QSOs);
    AppendColumn(Text, Points);
    AppendColumn(Text, Multipliers);
    Text += "\r\n Score: " + std::to_string(Points) + "*" + std::to_string(Multipliers) + "=" +
            std::to_string(Points * Multipliers) + "\r\n";
    return std::string(Trim(Text));
}

} // namespace brevlund
