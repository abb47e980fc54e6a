#include "WorkedList.h"

#include "Text.h"

#include <algorithm>

namespace brevlund {

int CompareQSOs(const TQSO& A, const TQSO& B) {
    return CompareBytes(A.Call, B.Call);
}

namespace {

bool CallLess(const std::unique_ptr<TQSO>& A, const std::unique_ptr<TQSO>& B) {
    return CompareQSOs(*A, *B) < 0;
}

} // namespace

void TWorkedList::Insert(std::string_view Call, std::string_view Band, std::string_view Mode) {
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
    if (Ordered && !Items.empty() && CompareBytes(Call, Items.back()->Call) < 0) Ordered = false;
    Items.push_back(std::make_unique<TQSO>(Call, Band, Mode));
}

void TWorkedList::Sort() {
    if (Ordered) return;
    std::sort(Items.begin(), Items.end(), CallLess);
    Ordered = true;
}

void TWorkedList::Clear() {
    Items.clear();
    Ordered = true;
}

bool TWorkedList::Holds(std::string_view Call, std::string_view Band, std::string_view Mode) const {
    // Signed indices: high may go to -1 when the call sorts before every record.
    long Low = 0;
    long High = static_cast<long>(Items.size()) - 1;
    long Middle = 0;
    bool Found = false;
    // The rescan's rows come in call order: a call after the last of an ordered
    // list is in no record, and one equal to the last is found there.
    if (Ordered) {
        const int Order = Items.empty() ? 1 : CompareBytes(Call, Items.back()->Call);
        if (Order > 0) return false;
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
    if (!Found) return false;

    while (Middle > 0 && Items[Middle - 1]->Call == Call)
        --Middle;
    for (std::size_t I = static_cast<std::size_t>(Middle); I < Items.size(); ++I) {
        const TQSO& Q = *Items[I];
        if (Q.Call != Call) return false;
        if (Q.Band == Band && Q.Mode == Mode) return true;
    }
    return false;
}

} // namespace brevlund
