// The user's locale, for the two lookups that ignore letter case and the list
// view's order. Implemented once per platform: CompareStringA on Windows, and
// the same word sort for single-byte text on Linux.
#pragma once

#include <string_view>

namespace brevlund::locale {

// True when A and B are equal without regard to letter case.
bool SameText(std::string_view A, std::string_view B);

// Case-sensitive, locale-aware order: negative, 0 or positive.
int Compare(std::string_view A, std::string_view B);

} // namespace brevlund::locale
