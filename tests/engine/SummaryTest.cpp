#include "engine/Summary.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace brevlund {
namespace {

TEST(PadLeft, FillsInFrontAndNeverCuts) {
    EXPECT_EQ(PadLeft("7", 4, ' '), "   7");
    EXPECT_EQ(PadLeft("", 4, ' '), "    ");
    EXPECT_EQ(PadLeft("1.8", 4, ' '), " 1.8");
    EXPECT_EQ(PadLeft("144.5", 4, ' '), "144.5");
    EXPECT_EQ(PadLeft("1234567", 6, ' '), "1234567");
    EXPECT_EQ(PadLeft("42", 5, '0'), "00042");
    EXPECT_EQ(PadLeft("x", 0, ' '), "x");
}

const std::string Header = "Band\t  QSOs\tPoints\t   OBL\t\r\n";

TEST(SummaryText, Examples) {
    struct Case {
        const char* Name;
        std::vector<TStatistic> Stats;
        std::string Text;
    };
    const Case Cases[] = {
        {"two bands in order of first QSO",
         {{"14", 3, 3, 2}, {"7", 1, 2, 1}},
         Header + "  14\t     3\t     3\t     2\t\r\n"
                  "   7\t     1\t     2\t     1\t\r\n"
                  "Total\t     4\t     5\t     3\t\r\n"
                  " Score: 5*3=15"},
        {"empty tally", {}, Header + "Total\t     0\t     0\t     0\t\r\n Score: 0*0=0"},
        {"0-point band with multipliers raises the score",
         {{"10", 2, 0, 3}, {"14", 1, 1, 0}},
         Header + "  10\t     2\t     0\t     3\t\r\n"
                  "  14\t     1\t     1\t     0\t\r\n"
                  "Total\t     3\t     1\t     3\t\r\n"
                  " Score: 1*3=3"},
        {"empty band label and long label",
         {{"", 1, 0, 0}, {"144.5", 1, 0, 0}},
         Header + "    \t     1\t     0\t     0\t\r\n"
                  "144.5\t     1\t     0\t     0\t\r\n"
                  "Total\t     2\t     0\t     0\t\r\n"
                  " Score: 0*0=0"},
        {"seven digits fill their column uncut",
         {{"14", 1234567, 1234567, 12}},
         Header + "  14\t1234567\t1234567\t    12\t\r\n"
                  "Total\t1234567\t1234567\t    12\t\r\n"
                  " Score: 1234567*12=14814804"},
        {"totals and the score do not wrap around",
         {{"7", INT_MAX, INT_MAX, INT_MAX}, {"14", 1, INT_MAX, 1}},
         Header + "   7\t2147483647\t2147483647\t2147483647\t\r\n"
                  "  14\t     1\t2147483647\t     1\t\r\n"
                  "Total\t2147483648\t4294967294\t2147483648\t\r\n"
                  " Score: 4294967294*2147483648=9223372032559808512"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(SummaryText(C.Stats), C.Text) << C.Name;
        test::TStringBox Box;
        Box.SetText("edited by the user");
        PrintSummary(C.Stats, Box);
        EXPECT_EQ(Box.GetText(), C.Text) << C.Name;
    }
}

} // namespace
} // namespace brevlund
