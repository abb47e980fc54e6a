#include "Scoring.h"

#include "LocaleText.h"
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

namespace {

// The last four bytes with a to z folded and every byte above 127 made one value,
// so that keys equal without regard to case in any locale share a bucket as long
// as they agree in their ASCII ending (they always end in "|", capitals, "|").
std::uint32_t BucketOf(std::string_view Key) {
    std::uint32_t Bucket = static_cast<std::uint32_t>(Key.size() < 4 ? Key.size() : 4) << 28;
    const std::string_view End = Key.substr(Key.size() < 4 ? 0 : Key.size() - 4);
    for (char C : End) {
        unsigned char B = static_cast<unsigned char>(C);
        if (B >= 'a' && B <= 'z') B = static_cast<unsigned char>(B - 'a' + 'A');
        if (B > 127) B = 128;
        Bucket = (Bucket << 7) ^ B;
    }
    return Bucket;
}

} // namespace

bool TMultiplierKeys::Contains(std::string_view Key) const {
    const auto Found = Buckets.find(BucketOf(Key));
    if (Found == Buckets.end()) return false;
    // Nearly every recorded QSO repeats a key byte for byte; the locale's
    // comparison, many times dearer, is needed only when none does.
    for (std::size_t Index : Found->second)
        if (Keys[Index] == Key) return true;
    for (std::size_t Index : Found->second)
        if (locale::SameText(Keys[Index], Key)) return true;
    return false;
}

void TMultiplierKeys::Add(std::string Key) {
    Buckets[BucketOf(Key)].push_back(Keys.size());
    Keys.push_back(std::move(Key));
}

void TMultiplierKeys::Clear() {
    Keys.clear();
    Buckets.clear();
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
        // Built in place: a key is rarely new, and only a new one is kept.
        char Buffer[255 + 4];
        std::memcpy(Buffer, Band.data(), Band.size());
        Buffer[Band.size()] = '|';
        std::memcpy(Buffer + Band.size() + 1, Area.data(), Area.size());
        Buffer[Band.size() + 1 + Area.size()] = '|';
        const std::string_view Key(Buffer, Band.size() + Area.size() + 2);
        if (!MultiplierKeys.Contains(Key)) {
            Stat.Multipliers += 1;
            MultiplierKeys.Add(std::string(Key));
        }
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
