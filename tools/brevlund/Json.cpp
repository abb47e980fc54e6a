#include "Json.h"

#include "Utf8.h"
#include "engine/Scoring.h"
#include "engine/Summary.h"

namespace brevlund::cli {

std::string LogTextToUtf8(std::string_view Text) {
    if (IsUtf8(Text)) return std::string(Text);
    std::string Utf8;
    Utf8.reserve(Text.size() + Text.size() / 4);
    for (char C : Text) {
        const auto B = static_cast<unsigned char>(C);
        if (B < 0x80) {
            Utf8 += C;
        } else {
            Utf8 += static_cast<char>(0xC0 | (B >> 6));
            Utf8 += static_cast<char>(0x80 | (B & 0x3F));
        }
    }
    return Utf8;
}

TJson LogText(std::string_view Text) {
    return LogTextToUtf8(Text);
}

TJson LogTextList(const std::vector<std::string>& Texts) {
    TJson List = TJson::array();
    for (const std::string& Text : Texts)
        List.push_back(LogText(Text));
    return List;
}

std::string Dump(const TJson& Value) {
    return Value.dump(-1, ' ', true);
}

TJson SummaryJson(const TLogScore& Scored) {
    const std::vector<TStatistic>& Stats = Scored.Tally().BandStats;
    TJson Bands = TJson::array();
    for (const TStatistic& S : Stats)
        Bands.push_back({{"band", LogText(S.Band)},
                         {"qsos", S.QSOs},
                         {"points", S.Points},
                         {"multipliers", S.Multipliers},
                         {"areas", LogTextList(Scored.AreasOf(S))}});
    const TTotals Sums = Totals(Stats);
    TJson Summary;
    Summary["bands"] = std::move(Bands);
    Summary["total"] = {
        {"qsos", Sums.QSOs}, {"points", Sums.Points}, {"multipliers", Sums.Multipliers}};
    Summary["score"] = Sums.Score();
    return Summary;
}

TJson TotalsJson(const TTotals& Totals) {
    TJson J;
    J["qsos"] = Totals.QSOs;
    J["points"] = Totals.Points;
    J["multipliers"] = Totals.Multipliers;
    J["score"] = Totals.Score();
    return J;
}

} // namespace brevlund::cli
