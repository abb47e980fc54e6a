// ASCII stands in for the user's locale on Linux: letter case is ignored for
// a to z only, and the order is byte order.
#include "engine/LocaleText.h"

#include "engine/Text.h"

namespace brevlund::locale {

namespace {
char Fold(char C) {
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
}
} // namespace

bool SameText(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (Fold(A[I]) != Fold(B[I])) return false;
    return true;
}

int Compare(std::string_view A, std::string_view B) {
    return CompareBytes(A, B);
}

} // namespace brevlund::locale
