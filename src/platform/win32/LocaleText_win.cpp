// The user's locale through CompareStringA, as the operator's other programs see it.
#include "engine/LocaleText.h"

#include <windows.h>

#include <climits>

namespace brevlund::locale {

namespace {

// CSTR_LESS_THAN, CSTR_EQUAL or CSTR_GREATER_THAN; 0 when the call itself failed.
int CompareWith(DWORD Flags, std::string_view A, std::string_view B) {
    const auto Len = [](std::string_view S) {
        return S.size() > INT_MAX ? INT_MAX : static_cast<int>(S.size());
    };
    return CompareStringA(LOCALE_USER_DEFAULT, Flags, A.data(), Len(A), B.data(), Len(B));
}

} // namespace

bool SameText(std::string_view A, std::string_view B) {
    return CompareWith(NORM_IGNORECASE, A, B) == CSTR_EQUAL;
}

int Compare(std::string_view A, std::string_view B) {
    const int R = CompareWith(0, A, B);
    return R == 0 ? A.compare(B) : R - CSTR_EQUAL; // fall back to byte order on failure
}

} // namespace brevlund::locale
