#include "Json.h"

#include "engine/Scoring.h"

#include <cstdint>

namespace brevlund::cli {

TJson Latin1(std::string_view Text) {
    std::string Utf8;
    Utf8.reserve(Text.size());
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

TJson Latin1List(const std::vector<std::string>& Texts) {
    TJson List = TJson::array();
    for (const std::string& Text : Texts)
        List.push_back(Latin1(Text));
    return List;
}

std::string Dump(const TJson& Value) {
    return Value.dump(-1, ' ', true);
}

TJson SummaryJson(const TLogScore& Scored) {
    std::int64_t QSOs = 0, Points = 0, Multipliers = 0;
    TJson Bands = TJson::array();
    for (const TStatistic& S : Scored.Tally().BandStats) {
        Bands.push_back({{"band", Latin1(S.Band)},
                         {"qsos", S.QSOs},
                         {"points", S.Points},
                         {"multipliers", S.Multipliers},
                         {"areas", Latin1List(Scored.AreasOf(S))}});
        QSOs += S.QSOs;
        Points += S.Points;
        Multipliers += S.Multipliers;
    }
    TJson Summary;
    Summary["bands"] = std::move(Bands);
    Summary["total"] = {{"qsos", QSOs}, {"points", Points}, {"multipliers", Multipliers}};
    Summary["score"] = Points * Multipliers;
    return Summary;
}

} // namespace brevlund::cli
