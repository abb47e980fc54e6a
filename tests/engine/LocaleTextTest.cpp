// The locale's text comparisons on Linux, expecting what CompareStringA answers
// in the default locale (word sort): the same cases run through both under Wine.
#include "engine/LocaleText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace brevlund {
namespace {

int Sign(int Value) {
    return Value < 0 ? -1 : Value > 0 ? 1 : 0;
}

TEST(LocaleText, CompareAndSameTextAsWindowsAnswers) {
    struct Case {
        std::string A, B;
        int Order;     // Compare(A, B)
        bool SameText; // SameText(A, B)
    };
    const Case Cases[] = {
        // Letter case only breaks ties, and small letters come first then.
        {"ab", "AB", -1, true},
        {"ab", "Ab", -1, true},
        {"aB", "Ab", -1, true},
        {"aBc", "Abc", -1, true},
        {"ab", "CD", -1, false},
        {"AB", "cd", -1, false},
        {"abc", "ABD", -1, false},
        {"14|AB|", "14|ab|", 1, true},
        // Hyphen and apostrophe are passed over until all else is equal; then
        // the text without them comes first, and one nearer the front later.
        {"coop", "co-op", -1, false},
        {"co-op", "coo-p", 1, false},
        {"co-op", "CO-OP", -1, true},
        {"ab", "a-b", -1, false},
        {"a-b", "AB", -1, false},
        {"Ab", "a-b", 1, false},
        {"a-b", "a'b", 1, false},
        {"x-y", "x'y", 1, false},
        {"a", "-a", -1, false},
        {"-a", "a-", 1, false},
        {"--a", "-a", 1, false},
        {"a--", "a-", 1, false},
        {"'a", "-a", -1, false},
        {"a-bc", "ab-c", 1, false},
        {"ab-", "-ab", -1, false},
        {"-", "'", 1, false},
        {"", "-", -1, false},
        {"it's", "its", 1, false},
        // Blanks and other symbols count, and sort before digits and letters.
        {"a b", "ab", -1, false},
        {"a\tb", "ab", -1, false},
        {"1", "a", -1, false},
        {"1.8", "10", -1, false},
        {"AB ", "AB", 1, false},
        // Control characters are passed over like the hyphen.
        {"a\x01"
         "b",
         "ab", 1, false},
        {"", "\x01", -1, false},
        {"CurrentBand", "currentband", 1, true},
        {"", "", 0, true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE("\"" + C.A + "\" and \"" + C.B + "\"");
        EXPECT_EQ(Sign(locale::Compare(C.A, C.B)), C.Order);
        EXPECT_EQ(Sign(locale::Compare(C.B, C.A)), -C.Order);
        EXPECT_EQ(locale::SameText(C.A, C.B), C.SameText);
        EXPECT_EQ(locale::SameText(C.B, C.A), C.SameText);
    }
}

TEST(LocaleText, EveryAsciiCharacterInWindowsOrder) {
    std::vector<std::string> Characters;
    for (int C = 1; C < 128; ++C)
        Characters.emplace_back(1, static_cast<char>(C));
    std::stable_sort(
        Characters.begin(), Characters.end(),
        [](const std::string& A, const std::string& B) { return locale::Compare(A, B) < 0; });
    std::string Order;
    for (const std::string& C : Characters)
        Order += C;
    std::string Expected = "\x01\x02\x03\x04\x05\x06\x07\x08\x0e\x0f\x10\x11\x12\x13\x14\x15\x16"
                           "\x17\x18\x19\x1a\x1b\x1c\x1d\x1e\x1f\x7f'- \t\n\v\f\r!\"#$%&()*,./:;?@"
                           "[\\]^_`{|}~+<=>0123456789";
    for (char Letter = 'a'; Letter <= 'z'; ++Letter) {
        Expected += Letter;
        Expected += static_cast<char>(Letter - 'a' + 'A');
    }
    EXPECT_EQ(Order, Expected);
}

} // namespace
} // namespace brevlund
