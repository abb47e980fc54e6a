#include "Multipliers.h"

#include "LocaleText.h"
#include "Text.h"

#include <algorithm>

namespace brevlund {

TMultiplierKey::TMultiplierKey(std::string_view Band, std::string_view Area) {
    Key.reserve(Band.size() + 4);
    Key.append(Band).append("|").append(Area).append("|");
}

namespace {

// The last four bytes with a to z folded and every byte above 127 made one value,
// so that keys equal without regard to case in any locale share a bucket as long
// as they agree in their ASCII ending (they always end in "|", capitals, "|").
std::uint32_t BucketOf(std::string_view Key) {
    std::uint32_t Bucket = static_cast<std::uint32_t>(Key.size() < 4 ? Key.size() : 4) << 28;
    const std::string_view End = Key.substr(Key.size() < 4 ? 0 : Key.size() - 4);
    for (char C : End) {
        unsigned char B = static_cast<unsigned char>(UpperAscii(C));
        if (B > 127) B = 128;
        Bucket = (Bucket << 7) ^ B;
    }
    return Bucket;
}

} // namespace

std::vector<std::string> TMultiplierKeys::Texts() const {
    std::vector<std::string> Result;
    Result.reserve(Keys.size());
    for (const TMultiplierKey& Key : Keys)
        Result.push_back(Key.Text());
    return Result;
}

bool TMultiplierKeys::Contains(const TMultiplierKey& Key) const {
    const auto Found = Buckets.find(BucketOf(Key.Text()));
    if (Found == Buckets.end()) return false;
    // Nearly every recorded QSO repeats a key byte for byte; the locale's
    // comparison, many times dearer, is needed only when none does.
    for (std::size_t Index : Found->second)
        if (Keys[Index] == Key) return true;
    for (std::size_t Index : Found->second)
        if (locale::SameText(Keys[Index].Text(), Key.Text())) return true;
    return false;
}

bool TMultiplierKeys::Add(TMultiplierKey Key) {
    if (Contains(Key)) return false;
    Buckets[BucketOf(Key.Text())].push_back(Keys.size());
    Keys.push_back(std::move(Key));
    return true;
}

void TMultiplierKeys::Clear() {
    Keys.clear();
    Buckets.clear();
}

std::vector<std::string> TMultiplierKeys::AreasOn(std::string_view Band) const {
    std::vector<std::string> Areas;
    for (const TMultiplierKey& Key : Keys)
        if (Key.Band() == Band) Areas.emplace_back(Key.Area());
    return Areas;
}

bool TMultiplierKeys::Marks(std::string_view BandLabel, std::string_view Caption) const {
    std::string Probe;
    Probe.reserve(BandLabel.size() + Caption.size() + 2);
    Probe.append(BandLabel).append("|").append(Caption).append("|");
    return std::any_of(Keys.begin(), Keys.end(), [&](const TMultiplierKey& Key) {
        return Key.Text().find(Probe) != std::string::npos;
    });
}

std::vector<std::string> MultiplierCaptions(const TAreaList& Areas) {
    std::vector<std::string> Captions = Areas.ItemCaptions();
    std::stable_sort(
        Captions.begin(), Captions.end(),
        [](const std::string& A, const std::string& B) { return locale::Compare(A, B) < 0; });
    return Captions;
}

std::vector<std::string> UnmarkedCaptions(const TAreaList& Areas, const TMultiplierKeys& Keys,
                                          std::string_view BandLabel) {
    std::vector<std::string> Unmarked;
    for (std::string& Caption : MultiplierCaptions(Areas))
        if (!Keys.Marks(BandLabel, Caption)) Unmarked.push_back(std::move(Caption));
    return Unmarked;
}

} // namespace brevlund
