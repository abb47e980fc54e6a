#include "engine/WorkedList.h"
#include "engine/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

namespace brevlund {
namespace {

TEST(CompareQSOs, ByteOrder) {
    struct Case {
        const char* A;
        const char* B;
        int Expected;
    };
    const Case Cases[] = {
        {"A", "B", -1}, {"B", "A", 1}, {"SM5A", "SM5A", 0}, {"A", "AB", -1},  {"", "A", -1},
        {"", "", 0},    {"a", "A", 1}, {"Z", "a", -1},      {"\xE9", "z", 1}, {"SM5A/P", "SM5A", 1},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(CompareQSOs(TQSO(C.A, "", ""), TQSO(C.B, "", "")), C.Expected)
            << C.A << " vs " << C.B;
}

struct QsoText {
    std::string Call, Band, Mode;
};

TEST(WorkedList, DuplicateCheck) {
    struct Case {
        const char* Name;
        std::vector<QsoText> Recorded;
        QsoText Probe;
        bool Duplicate;
    };
    const std::vector<QsoText> Three = {
        {"SM5A", "14", "CW"}, {"SM5A", "7", "CW"}, {"SM5A", "21", "SSB"}};
    const Case Cases[] = {
        {"empty list", {}, {"SM5A", "14", "CW"}, false},
        {"same QSO", {{"SM5A", "14", "CW"}}, {"SM5A", "14", "CW"}, true},
        {"other mode", {{"SM5A", "14", "CW"}}, {"SM5A", "14", "SSB"}, false},
        {"other band", {{"SM5A", "14", "CW"}}, {"SM5A", "7", "CW"}, false},
        {"call in small letters", {{"SM5A", "14", "CW"}}, {"sm5a", "14", "CW"}, false},
        {"mode in small letters", {{"SM5A", "14", "CW"}}, {"SM5A", "14", "cw"}, false},
        {"band with leading blank", {{"SM5A", "14", "CW"}}, {"SM5A", " 14", "CW"}, false},
        {"band with trailing blank", {{"SM5A", "14", "CW"}}, {"SM5A", "14 ", "CW"}, false},
        {"empty band recorded", {{"SM5A", "", "CW"}}, {"SM5A", "", "CW"}, true},
        {"0-point band recorded", {{"SM5A", "10", "CW"}}, {"SM5A", "10", "CW"}, true},
        {"first of three, search lands on the middle", Three, {"SM5A", "14", "CW"}, true},
        {"last of three", Three, {"SM5A", "21", "SSB"}, true},
        {"none of three", Three, {"SM5A", "21", "CW"}, false},
        {"group at the start of a longer list",
         {{"AA1A", "14", "CW"},
          {"AA1A", "7", "CW"},
          {"AA1A", "3.5", "CW"},
          {"BB1B", "14", "CW"},
          {"CC1C", "14", "CW"}},
         {"AA1A", "14", "CW"},
         true},
        {"group at the end of a longer list",
         {{"AA1A", "14", "CW"}, {"ZZ1Z", "7", "CW"}, {"ZZ1Z", "14", "CW"}},
         {"ZZ1Z", "7", "CW"},
         true},
        {"prefix of a recorded call", {{"SM5AB", "14", "CW"}}, {"SM5A", "14", "CW"}, false},
    };
    for (const Case& C : Cases) {
        TWorkedList List;
        for (const QsoText& Q : C.Recorded)
            List.Insert(Q.Call, Q.Band, Q.Mode);
        EXPECT_EQ(List.Holds(C.Probe.Call, C.Probe.Band, C.Probe.Mode), C.Duplicate) << C.Name;
    }
}

TEST(WorkedList, InsertKeepsCallOrderWhateverTheArrivalOrder) {
    // A database that sorts calls without regard to case delivers this order;
    // byte order puts every capital before every small letter.
    const std::vector<QsoText> CaseInsensitiveOrder = {{"aa1a", "14", "CW"}, {"AB1B", "14", "CW"},
                                                       {"ac1c", "14", "CW"}, {"AD1D", "14", "CW"},
                                                       {"ae1e", "7", "CW"},  {"AF1F", "7", "CW"}};
    TWorkedList List;
    for (const QsoText& Q : CaseInsensitiveOrder)
        List.Insert(Q.Call, Q.Band, Q.Mode);
    for (std::size_t I = 1; I < List.Count(); ++I)
        EXPECT_LE(CompareQSOs(List[I - 1], List[I]), 0);
    for (const QsoText& Q : CaseInsensitiveOrder)
        EXPECT_TRUE(List.Holds(Q.Call, Q.Band, Q.Mode)) << Q.Call;
}

// Against a set of (call, band, mode): thousands of QSOs drawn from a small
// alphabet, so that calls repeat, differ in case and share prefixes.
TEST(WorkedList, AgreesWithASetOnRandomQsos) {
    std::mt19937 Random(20261208);
    const auto Draw = [&](const std::string& Alphabet, int MaxLength) {
        std::string S(1 + Random() % MaxLength, ' ');
        for (char& C : S)
            C = Alphabet[Random() % Alphabet.size()];
        return S;
    };
    for (bool ViaAppend : {false, true}) {
        TWorkedList List;
        std::set<std::tuple<std::string, std::string, std::string>> Oracle;
        for (int I = 0; I < (ViaAppend ? 600 : 4000); ++I) {
            const std::string Call = Draw("aAbB1/", 4);
            const std::string Band = Draw("147 ", 2);
            const std::string Mode = Draw("CWcw", 1);
            const bool Expected = Oracle.count({Call, Band, Mode}) != 0;
            ASSERT_EQ(List.Holds(Call, Band, Mode), Expected) << Call << "|" << Band << "|" << Mode;
            if (Expected) continue;
            Oracle.insert({Call, Band, Mode});
            if (ViaAppend) {
                List.Append(Call, Band, Mode);
                List.Sort();
            } else {
                List.Insert(Call, Band, Mode);
            }
            ASSERT_TRUE(List.InOrder());
        }
        EXPECT_EQ(List.Count(), Oracle.size());
    }
}

TEST(WorkedList, AppendOutOfOrderThenSortRestoresOrder) {
    TWorkedList List;
    for (const char* Call : {"SM5C", "SM5A", "sm5b", "SM5A", "0A"})
        List.Append(Call, "14", "CW");
    EXPECT_FALSE(List.InOrder());
    List.Sort();
    ASSERT_TRUE(List.InOrder());
    std::vector<std::string> Calls;
    for (std::size_t I = 0; I < List.Count(); ++I)
        Calls.push_back(List[I].Call);
    EXPECT_EQ(Calls, (std::vector<std::string>{"0A", "SM5A", "SM5A", "SM5C", "sm5b"}));
    List.Clear();
    EXPECT_EQ(List.Count(), 0u);
    EXPECT_FALSE(List.Holds("SM5A", "14", "CW"));
}

} // namespace
} // namespace brevlund
