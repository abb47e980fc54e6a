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
    if (Text.size() < 2 || !IsAreaCode(Text.substr(Text.size() - 2))) return false;
    Area = Text.substr(Text.size() - 2);
    return true;
}

TTally::TQsoTexts TTally::ContextTexts() const {
    return {Context->CallSign.Text(), Context->DigiBand.Text(), Context->QSOMode.Text(),
            Context->QSOReportRecived.Text()};
}

void TTally::AddWorkedQSO() {
    const TQsoTexts Qso = ContextTexts();
    WorkedQSOs.Insert(Qso.Call, Qso.Band, Qso.Mode);
}

void TTally::SortWorkedQSOs() {
    WorkedQSOs.Sort();
}

bool TTally::IsDuplicate() const {
    const TQsoTexts Qso = ContextTexts();
    return WorkedQSOs.Holds(Qso.Call, Qso.Band, Qso.Mode);
}

TStatistic& TTally::FindBandStat(std::string_view Band) {
    for (TStatistic& Stat : BandStats)
        if (Stat.Band == Band) return Stat;
    return BandStats.emplace_back(Band, 0, 0, 0);
}

TQsoVerdict TTally::Score(TQsoTexts Qso, bool Commit) {
    const std::string_view Call = ShortText(Qso.Call), Band = ShortText(Qso.Band),
                           Mode = ShortText(Qso.Mode);
    TQsoVerdict Verdict;
    if (const std::optional<std::size_t> First = WorkedQSOs.Find(Call, Band, Mode)) {
        Verdict.Points = -1;
        Verdict.DuplicateOf = First;
        return Verdict;
    }
    Verdict.Points = BandPoints(Band);
    if (!Commit) return Verdict;

    WorkedQSOs.Insert(Call, Band, Mode);
    TStatistic& Stat = FindBandStat(Band);
    Stat.QSOs += 1;
    Stat.Points += Verdict.Points;

    // The exchange in capitals and trimmed ends in an area: only its last two
    // characters matter, and capitals leave blanks as they are.
    const std::string_view Exchange = Trim(ShortText(Qso.Exchange));
    if (Exchange.size() >= 2) {
        const char Tail[2] = {UpperAscii(Exchange[Exchange.size() - 2]),
                              UpperAscii(Exchange.back())};
        std::string_view Area;
        if (AreaMatcher.Match(std::string_view(Tail, 2), Area) && AreaList.CountsAsArea(Area) &&
            MultiplierKeys.Add(TMultiplierKey(Band, Area))) {
            Stat.Multipliers += 1;
            Verdict.NewMultiplier = MultiplierKeys.Count() - 1;
        }
    }

    ShowDXList(Band);
    return Verdict;
}

void TTally::ShowDXList() {
    ShowDXList(Context->DigiBand.Text());
}

void TTally::ShowDXList(std::string_view Band) {
    Band = Trim(Band);
    if (Band.empty()) return;
    const int Number = BandNumber(Band);
    if (Number != 0 && MultipliersView != nullptr) MultipliersView->SelectBand(Number);
}

} // namespace brevlund
