#include "WorkedList.h"

#include "Text.h"

#include <algorithm>
#include <functional>

namespace brevlund {

int CompareQSOs(const TQSO& A, const TQSO& B) {
    return CompareBytes(A.Call, B.Call);
}

namespace {

bool CallLess(const std::unique_ptr<TQSO>& A, const std::unique_ptr<TQSO>& B) {
    return CompareQSOs(*A, *B) < 0;
}

std::size_t HashOf(std::string_view Call, std::string_view Band, std::string_view Mode) {
    const std::hash<std::string_view> Hash;
    std::size_t H = Hash(Call);
    for (std::string_view Part : {Band, Mode})
        H ^= Hash(Part) + static_cast<std::size_t>(0x9e3779b97f4a7c15ull) + (H << 6) + (H >> 2);
    return H;
}

} // namespace

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
    if (Items.empty() || CompareBytes(Call, Items.back()->Call) >= 0) {
        Items.push_back(std::make_unique<TQSO>(Call, Band, Mode));
        return;
    }
    const auto Place = std::upper_bound(Items.begin(), Items.end(), Call,
                                        [](std::string_view C, const std::unique_ptr<TQSO>& Q) {
                                            return CompareBytes(C, Q->Call) < 0;
                                        });
    Items.insert(Place, std::make_unique<TQSO>(Call, Band, Mode));
}

void TWorkedList::Append(std::string_view Call, std::string_view Band, std::string_view Mode) {
    const bool WasOrdered = Ordered;
    if (Ordered && !Items.empty() && CompareBytes(Call, Items.back()->Call) < 0) Ordered = false;
    Items.push_back(std::make_unique<TQSO>(Call, Band, Mode));
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
    Slots.clear();
    Ordered = true;
}

void TWorkedList::RebuildIndex() {
    std::size_t Size = 16;
    while (Size < 4 * Items.size())
        Size *= 2;
    Slots.assign(Size, 0);
    for (std::size_t I = 0; I < Items.size(); ++I)
        IndexRecord(I);
}

void TWorkedList::IndexRecord(std::size_t Index) {
    if (2 * Items.size() > Slots.size()) {
        RebuildIndex(); // grows and takes every record, this one too
        return;
    }
    const TQSO& Q = *Items[Index];
    const std::size_t Mask = Slots.size() - 1;
    for (std::size_t S = HashOf(Q.Call, Q.Band, Q.Mode) & Mask;; S = (S + 1) & Mask)
        if (Slots[S] == 0) {
            Slots[S] = Index + 1;
            return;
        }
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
    for (std::size_t S = HashOf(Call, Band, Mode) & Mask; Slots[S] != 0; S = (S + 1) & Mask) {
        const TQSO& Q = *Items[Slots[S] - 1];
        if (Q.Call == Call && Q.Band == Band && Q.Mode == Mode) return Slots[S] - 1;
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
