#include "Scoring.h"

#include "Text.h"

#include <cstring>

namespace brevlund {

int BandNumber(std::string_view Label) {
    for (std::size_t I = 0; I < BandLabels.size(); ++I)
        if (BandLabels[I] == Label) return static_cast<int>(I) + 1;
    return 0;
}

std::int32_t BandPoints(std::string_view Band) {
    // K = ":" + band + ":" searched as a substring, so a band text holding colons
    // can match a stretch of a list ("1.8:3.5" gives 2).
    char Buffer[2 + 255];
    if (Band.size() > 255) return 0; // cannot occur in a list of at most 11 characters
    // Without a colon the key matches only a whole label of a list.
    if (Band.find(':') == std::string_view::npos) {
        if (Band == "1.8" || Band == "3.5" || Band == "7") return 2;
        if (Band == "14" || Band == "21" || Band == "28") return 1;
        return 0;
    }
    Buffer[0] = ':';
    std::memcpy(Buffer + 1, Band.data(), Band.size());
    Buffer[Band.size() + 1] = ':';
    const std::string_view Key(Buffer, Band.size() + 2);
    if (std::string_view(":1.8:3.5:7:").find(Key) != std::string_view::npos) return 2;
    if (std::string_view(":14:21:28:").find(Key) != std::string_view::npos) return 1;
    return 0;
}

bool TAreaMatcher::Match(std::string_view Text, std::string_view& Area) const {
    const auto Capital = [](char C) { return C >= 'A' && C <= 'Z'; };
    if (Text.size() < 2 || !Capital(Text[Text.size() - 2]) || !Capital(Text.back())) return false;
    Area = Text.substr(Text.size() - 2);
    return true;
}

void TTally::AddWorkedQSO() {
    WorkedQSOs.Insert(Context->CallSign.Text(), Context->DigiBand.Text(), Context->QSOMode.Text());
}

void TTally::SortWorkedQSOs() {
    WorkedQSOs.Sort();
}

bool TTally::IsDuplicate() const {
    return WorkedQSOs.Holds(Context->CallSign.Text(), Context->DigiBand.Text(),
                            Context->QSOMode.Text());
}

TStatistic& TTally::FindBandStat(std::string_view Band) {
    for (TStatistic& Stat : BandStats)
        if (Stat.Band == Band) return Stat;
    return BandStats.emplace_back(Band, 0, 0, 0);
}

std::int32_t TTally::ScoreQSO(bool Commit) {
    if (IsDuplicate()) return -1;
    const std::string_view Band = Context->DigiBand.Text();
    const std::int32_t Points = BandPoints(Band);
    if (!Commit) return Points;

    AddWorkedQSO();
    TStatistic& Stat = FindBandStat(Band);
    Stat.QSOs += 1;
    Stat.Points += Points;

    const std::string Exchange = UpperAscii(Context->QSOReportRecived.Text());
    std::string_view Area;
    if (AreaMatcher.Match(Trim(Exchange), Area) && AreaList.CountsAsArea(Area)) {
        if (MultiplierKeys.Add(TMultiplierKey(Band, Area))) Stat.Multipliers += 1;
    }

    ShowDXList();
    return Points;
}

void TTally::ShowDXList() {
    const std::string_view Band = Trim(Context->DigiBand.Text());
    if (Band.empty()) return;
    const int Number = BandNumber(Band);
    if (Number != 0 && MultipliersView != nullptr) MultipliersView->SelectBand(Number);
}

} // namespace brevlund
