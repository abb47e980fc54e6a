// The area list checker: which lines it reports, and which areas count.
#include "logformats/AreaCheck.h"

#include <gtest/gtest.h>

namespace brevlund::logformats {
namespace {

TEST(CheckAreaList, Examples) {
    struct Finding {
        std::size_t Line;
        const char* Says; // a part of the message
    };
    struct Case {
        const char* Name;
        std::string Text;
        std::vector<Finding> Findings;
        std::vector<std::string> Counting;
    };
    const Case Cases[] = {
        {"a clean list", "; areas\n# more\n\nAN=AN\r\nbo=BO\rCE=CE", {}, {"AN", "BO", "CE"}},
        {"blanks and small letters in the value",
         "AB=AB \nCD= CD\nEF=ef\nGH=Gh\n",
         {{1, "blanks around"}, {2, "blanks around"}, {3, "small letters"}, {4, "small letters"}},
         {}},
        {"values that are no area",
         "AB=\nCD=C\nEF=E1\nGH=\xC4\xD6\n",
         {{1, "empty value"},
          {2, "not two capitals"},
          {3, "not two capitals"},
          {4, "not two capitals"}},
         {}},
        {"name and value differ",
         "AB=CD\nAB =AB\n EF=EF\nGH=ij\n",
         {{1, "differ beyond letter case"},
          {2, "differ beyond letter case"},
          {3, "differ beyond letter case"},
          {4, "differ beyond letter case"},
          {4, "small letters"}},
         {}},
        {"empty name", "=AB\n=CD\n", {{1, "empty name"}, {2, "empty name"}}, {}},
        {"a later line of the same name is shadowed, whatever its case",
         "AB=CD\nab=AB\nEF=EF\nEF=EF\n",
         {{1, "differ beyond"}, {2, "taken by line 1"}, {4, "taken by line 3"}},
         {"EF"}},
        {"entries without =, prose is not",
         "AB AB\nCD:CD\nef\nGH - GH\nAreas of the contest\nIJK\nKL=KL\n",
         {{1, "\"AB=AB\""}, {2, "\"CD=CD\""}, {3, "\"EF=EF\""}, {4, "\"GH=GH\""}},
         {"KL"}},
        {"a value the window cuts",
         "AB=ABCDE\nCD=  CDEF\nEF=EF  \n",
         {{1, "not two capitals"},
          {1, "shows \"ABCD\""},
          {2, "not two capitals"},
          {2, "shows \"CD\""},
          {3, "blanks around"}},
         {}},
        {"a NUL ends the text: in a line, and at a line's start",
         std::string("AB=AB\nCD=CD\0\nEF=EF\n", 19),
         {{2, "NUL"}},
         {"AB", "CD"}},
        {"a NUL after a line end", std::string("AB=AB\r\n\0EF=EF", 14), {{2, "NUL"}}, {"AB"}},
        {"comment-like lines with = are passed over", "; AB=CD\n#=\n  ;x=y\n", {}, {}},
        {"empty text", "", {}, {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TAreaCheck Check = CheckAreaList(C.Text);
        ASSERT_EQ(Check.Findings.size(), C.Findings.size()) << [&] {
            std::string All;
            for (const TLogProblem& F : Check.Findings)
                All += std::to_string(F.Line) + ": " + F.Message + "\n";
            return All;
        }();
        for (std::size_t I = 0; I < C.Findings.size(); ++I) {
            EXPECT_EQ(Check.Findings[I].Line, C.Findings[I].Line);
            EXPECT_NE(Check.Findings[I].Message.find(C.Findings[I].Says), std::string::npos)
                << Check.Findings[I].Message;
        }
        EXPECT_EQ(Check.Counting, C.Counting);
    }
}

TEST(CheckAreaList, QuotesControlBytes) {
    EXPECT_EQ(Quoted(std::string("A\tB\x01", 4)), "\"A\\x09B\\x01\"");
    const TAreaCheck Check = CheckAreaList("AB=AB\t\n");
    ASSERT_EQ(Check.Findings.size(), 1u);
    EXPECT_EQ(Check.Findings[0].Message,
              "value \"AB\\x09\" has blanks around it: it never counts; write \"AB\"");
}

} // namespace
} // namespace brevlund::logformats
