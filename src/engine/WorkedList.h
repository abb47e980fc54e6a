// The worked list: one TQSO per recorded QSO, in call order, so that the
// duplicate check is a binary search plus a walk over the records of one call.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund {

class TQSO {
public:
    TQSO(std::string_view ACall, std::string_view ABand, std::string_view AMode)
        : Call(ACall), Band(ABand), Mode(AMode) {}

    const std::string Call;
    const std::string Band;
    const std::string Mode;
};

// 1, 0 or -1 as A.Call is greater than, equal to or less than B.Call, in byte order.
int CompareQSOs(const TQSO& A, const TQSO& B);

class TWorkedList {
public:
    std::size_t Count() const { return Items.size(); }
    const TQSO& operator[](std::size_t Index) const { return *Items[Index]; }

    // Puts the record at its place in call order, after the records of the same
    // call. Keeps the list ordered whatever order the QSOs arrive in (a database
    // may sort calls without regard to case, which byte order does not).
    void Insert(std::string_view Call, std::string_view Band, std::string_view Mode);
    // Adds the record at the end and leaves ordering to Sort.
    void Append(std::string_view Call, std::string_view Band, std::string_view Mode);
    // Restores call order; costs nothing when every record came in through Insert.
    void Sort();
    void Clear();

    bool InOrder() const { return Ordered; }

    // The binary search and the walk over one call's records. Needs call order.
    bool Holds(std::string_view Call, std::string_view Band, std::string_view Mode) const;

private:
    // Records live on the heap so that an insert shifts pointers, not strings.
    std::vector<std::unique_ptr<TQSO>> Items;
    bool Ordered = true;
};

} // namespace brevlund
