// The worked list: one TQSO per recorded QSO, in call order, so that the
// duplicate check is a binary search plus a walk over the records of one call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
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
    // In log order (KeepLogOrder) it appends instead.
    void Insert(std::string_view Call, std::string_view Band, std::string_view Mode);
    // Adds the record at the end and leaves ordering to Sort.
    void Append(std::string_view Call, std::string_view Band, std::string_view Mode);
    // Restores call order; costs nothing when every record came in through Insert.
    void Sort();
    void Clear();

    // For scoring a whole log in the order it was logged: Insert appends, so that
    // a record's index is its place among the recorded QSOs, and lookups go
    // through a hash index as soon as a call arrives out of call order. The
    // verdicts are those of the sorted list; a record costs O(1), not a shift.
    void KeepLogOrder();

    bool InOrder() const { return Ordered; }

    // Whether a record has this call, band and mode: the binary search and the
    // walk over one call's records while the list is in call order, the hash
    // index while it is not.
    bool Holds(std::string_view Call, std::string_view Band, std::string_view Mode) const {
        return Find(Call, Band, Mode).has_value();
    }
    // A hint that Find will soon be asked for this call, band and mode: brings
    // the hash index's slot into the cache, where a big log's lookups otherwise
    // wait for memory. Changes nothing.
    void Prefetch(std::string_view Call, std::string_view Band, std::string_view Mode) const;
    // The index of that record.
    std::optional<std::size_t> Find(std::string_view Call, std::string_view Band,
                                    std::string_view Mode) const;

private:
    std::optional<std::size_t> Search(std::string_view Call, std::string_view Band,
                                      std::string_view Mode) const;
    std::optional<std::size_t> LookUp(std::string_view Call, std::string_view Band,
                                      std::string_view Mode) const;
    void IndexRecord(std::size_t Index);
    const TQSO* Keep(std::string_view Call, std::string_view Band, std::string_view Mode);
    void RebuildIndex();

    // The records, in the order they came, never moved: one allocation per
    // block of records rather than one each. Items orders pointers to them, so
    // that an insert shifts pointers, not strings.
    std::vector<std::vector<TQSO>> Records; // blocks that never grow past their room
    std::vector<const TQSO*> Items;
    bool Ordered = true;
    bool LogOrder = false;
    // While the list is out of call order: open addressing over record indices
    // plus one (0 for a free slot) with their hash, so that a probe reads a
    // record only when the hash matches; at most half full.
    struct TSlot {
        std::uint32_t Hash;
        std::uint32_t Record;
    };
    std::vector<TSlot> Slots;
};

} // namespace brevlund
