// Multipliers: the band-and-area keys counted so far, the order of the
// multipliers window's list, and which of its areas are marked on a band. The
// scoring, the multipliers window and brevlund --needed all ask here, so that
// they cannot drift apart.
#pragma once

#include "AreaList.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace brevlund {

// One area counted on one band: the band text exactly as the QSO gave it and
// the two-capital area code. Its text "band|AB|" is what membership and the
// window's marking compare.
class TMultiplierKey {
public:
    TMultiplierKey(std::string_view Band, std::string_view Area);

    std::string_view Band() const { return std::string_view(Key).substr(0, Key.size() - 4); }
    std::string_view Area() const { return std::string_view(Key).substr(Key.size() - 3, 2); }
    // "band|AB|": for area AB on band 14 the text 14|AB|.
    const std::string& Text() const { return Key; }

    bool operator==(const TMultiplierKey& Other) const { return Key == Other.Key; }
    bool operator!=(const TMultiplierKey& Other) const { return Key != Other.Key; }

private:
    std::string Key;
};

// The keys in the order counted. Membership compares the key texts without
// regard to letter case under the user's locale; keys are bucketed by their
// ASCII-folded ending (the area code) so that a test compares against one
// area's keys only.
class TMultiplierKeys {
public:
    std::size_t Count() const { return Keys.size(); }
    const TMultiplierKey& operator[](std::size_t Index) const { return Keys[Index]; }
    const std::vector<TMultiplierKey>& Items() const { return Keys; }
    // The key texts, in the order counted.
    std::vector<std::string> Texts() const;

    bool Contains(const TMultiplierKey& Key) const;
    // Adds the key unless an equal one (letter case aside) is held; true when added.
    bool Add(TMultiplierKey Key);
    void Clear();

    // The areas counted on exactly this band text, in the order counted.
    std::vector<std::string> AreasOn(std::string_view Band) const;

    // Whether the multipliers window marks the item Caption while it shows the
    // band BandLabel: "label|caption|" stands anywhere inside a key's text,
    // letter case counting. So an empty label marks an area counted on any band,
    // and a label marks keys whose band text ends with it ("17" for "7").
    bool Marks(std::string_view BandLabel, std::string_view Caption) const;

private:
    std::vector<TMultiplierKey> Keys;
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> Buckets;
};

// The multipliers window's items: one caption per area line, in the list's
// order (the locale's case-sensitive comparison; equal captions keep file order).
std::vector<std::string> MultiplierCaptions(const TAreaList& Areas);

// The captions of the window's list that it leaves unmarked on the band.
std::vector<std::string> UnmarkedCaptions(const TAreaList& Areas, const TMultiplierKeys& Keys,
                                          std::string_view BandLabel);

} // namespace brevlund
