#include "WorkedList.h"

#include "Text.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace brevlund {

int CompareQSOs(const TQSO& A, const TQSO& B) {
    return CompareBytes(A.Call, B.Call);
}

namespace {

bool CallLess(const TQSO* A, const TQSO* B) {
    return CompareQSOs(*A, *B) < 0;
}

// Eight bytes at a time, each text closed by its length so that no two
// triples run together; 32 bits are plenty for a log's records.
std::uint64_t Mix(std::uint64_t H, std::string_view Text) {
    constexpr std::uint64_t K = 0x9E3779B97F4A7C15ull;
    std::size_t I = 0;
    for (; I + 8 <= Text.size(); I += 8) {
        std::uint64_t Word;
        std::memcpy(&Word, Text.data() + I, 8);
        H = (H ^ Word) * K;
        H ^= H >> 32;
    }
    std::uint64_t Tail = Text.size();
    for (; I < Text.size(); ++I)
        Tail = (Tail << 8) | static_cast<unsigned char>(Text[I]);
    H = (H ^ Tail) * K;
    return H ^ (H >> 29);
}

std::uint32_t HashOf(std::string_view Call, std::string_view Band, std::string_view Mode) {
    return static_cast<std::uint32_t>(Mix(Mix(Mix(0, Call), Band), Mode) >> 16);
}

} // namespace

const TQSO* TWorkedList::Keep(std::string_view Call, std::string_view Band, std::string_view Mode) {
    // A block is filled to its reserved room and never reallocated, so that
    // the records' addresses stay.
    constexpr std::size_t Block = 1024;
    if (Records.empty() || Records.back().size() == Block) {
        Records.emplace_back();
        Records.back().reserve(Block);
    }
    return &Records.back().emplace_back(Call, Band, Mode);
}

void TWorkedList::KeepLogOrder() {
    LogOrder = true;
}

void TWorkedList::Insert(std::string_view Call, std::string_view Band, std::string_view Mode) {
    if (LogOrder) {
        Append(Call, Band, Mode);
        return;
    }
    if (!Ordered) Sort();
    // Calls in order (the rescan's rows) go to the end without a search.
    const TQSO* Record = Keep(Call, Band, Mode);
    if (Items.empty() || CompareBytes(Call, Items.back()->Call) >= 0) {
        Items.push_back(Record);
        return;
    }
    const auto Place =
        std::upper_bound(Items.begin(), Items.end(), Call, [](std::string_view C, const TQSO* Q) {
            return CompareBytes(C, Q->Call) < 0;
        });
    Items.insert(Place, Record);
}

void TWorkedList::Append(std::string_view Call, std::string_view Band, std::string_view Mode) {
    const bool WasOrdered = Ordered;
    if (Ordered && !Items.empty() && CompareBytes(Call, Items.back()->Call) < 0) Ordered = false;
    Items.push_back(Keep(Call, Band, Mode));
    if (Ordered || !LogOrder) return; // the host's path sorts before it looks again
    if (WasOrdered)
        RebuildIndex();
    else
        IndexRecord(Items.size() - 1);
}

void TWorkedList::Sort() {
    if (Ordered) return;
    std::sort(Items.begin(), Items.end(), CallLess);
    Ordered = true;
    Slots.clear();
}

void TWorkedList::Clear() {
    Items.clear();
    Records.clear();
    Slots.clear();
    Ordered = true;
}

void TWorkedList::RebuildIndex() {
    std::size_t Size = Slots.empty() ? 16 : 2 * Slots.size();
    while (Size < 2 * Items.size())
        Size *= 2;
    std::vector<TSlot> Old(Size, TSlot{0, 0});
    Old.swap(Slots);
    const std::size_t Mask = Slots.size() - 1;
    const auto Place = [&](TSlot Slot) {
        std::size_t S = Slot.Hash & Mask;
        while (Slots[S].Record != 0)
            S = (S + 1) & Mask;
        Slots[S] = Slot;
    };
    if (Old.empty()) { // the list just went out of call order: every record
        for (std::size_t I = 0; I < Items.size(); ++I) {
            const TQSO& Q = *Items[I];
            Place({HashOf(Q.Call, Q.Band, Q.Mode), static_cast<std::uint32_t>(I + 1)});
        }
        return;
    }
    for (const TSlot& Slot : Old) // growing: the hashes are known
        if (Slot.Record != 0) Place(Slot);
}

void TWorkedList::IndexRecord(std::size_t Index) {
    if (2 * Items.size() > Slots.size()) RebuildIndex();
    const TQSO& Q = *Items[Index];
    const std::size_t Mask = Slots.size() - 1;
    const std::uint32_t Hash = HashOf(Q.Call, Q.Band, Q.Mode);
    for (std::size_t S = Hash & Mask;; S = (S + 1) & Mask)
        if (Slots[S].Record == 0) {
            Slots[S] = {Hash, static_cast<std::uint32_t>(Index + 1)};
            return;
        }
}

void TWorkedList::Prefetch(std::string_view Call, std::string_view Band,
                           std::string_view Mode) const {
#if defined(__GNUC__)
    if (!Slots.empty()) __builtin_prefetch(&Slots[HashOf(Call, Band, Mode) & (Slots.size() - 1)]);
#else
    (void)Call, (void)Band, (void)Mode;
#endif
}

std::optional<std::size_t> TWorkedList::Find(std::string_view Call, std::string_view Band,
                                             std::string_view Mode) const {
    if (Ordered) return Search(Call, Band, Mode);
    if (!Slots.empty()) return LookUp(Call, Band, Mode);
    // Appended out of order and not yet sorted: nothing reads the list then,
    // but should anything do, it gets the true answer.
    for (std::size_t I = 0; I < Items.size(); ++I)
        if (Items[I]->Call == Call && Items[I]->Band == Band && Items[I]->Mode == Mode) return I;
    return std::nullopt;
}

std::optional<std::size_t> TWorkedList::LookUp(std::string_view Call, std::string_view Band,
                                               std::string_view Mode) const {
    const std::size_t Mask = Slots.size() - 1;
    const std::uint32_t Hash = HashOf(Call, Band, Mode);
    for (std::size_t S = Hash & Mask; Slots[S].Record != 0; S = (S + 1) & Mask) {
        if (Slots[S].Hash != Hash) continue;
        const TQSO& Q = *Items[Slots[S].Record - 1];
        if (Q.Call == Call && Q.Band == Band && Q.Mode == Mode) return Slots[S].Record - 1;
    }
    return std::nullopt;
}

std::optional<std::size_t> TWorkedList::Search(std::string_view Call, std::string_view Band,
                                               std::string_view Mode) const {
    // Signed indices: high may go to -1 when the call sorts before every record.
    long Low = 0;
    long High = static_cast<long>(Items.size()) - 1;
    long Middle = 0;
    bool Found = false;
    // The rescan's rows come in call order: a call after the last of an ordered
    // list is in no record, and one equal to the last is found there.
    if (Ordered) {
        const int Order = Items.empty() ? 1 : CompareBytes(Call, Items.back()->Call);
        if (Order > 0) return std::nullopt;
        Middle = High;
        Found = Order == 0;
    }
    while (High >= Low && !Found) {
        Middle = (Low + High) / 2;
        const int Order = CompareBytes(Call, Items[Middle]->Call);
        if (Order < 0)
            High = Middle - 1;
        else if (Order > 0)
            Low = Middle + 1;
        else
            Found = true;
    }
    if (!Found) return std::nullopt;

    while (Middle > 0 && Items[Middle - 1]->Call == Call)
        --Middle;
    for (std::size_t I = static_cast<std::size_t>(Middle); I < Items.size(); ++I) {
        const TQSO& Q = *Items[I];
        if (Q.Call != Call) return std::nullopt;
        if (Q.Band == Band && Q.Mode == Mode) return I;
    }
    return std::nullopt;
}

} // namespace brevlund
