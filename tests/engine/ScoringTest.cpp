#include "engine/Scoring.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <regex>

namespace brevlund {
namespace {

using test::SetQso;

TEST(BandPoints, ByTheTwoLists) {
    struct Case {
        const char* Band;
        int Points;
    };
    const Case Cases[] = {
        {"1.8", 2},   {"3.5", 2},   {"7", 2},    {"14", 1}, {"21", 1},        {"28", 1},
        {"10", 0},    {"18", 0},    {"24", 0},   {"", 0},   {" 14", 0},       {"14 ", 0},
        {"144", 0},   {"1", 0},     {"8", 0},    {".8", 0}, {"1.8:3.5", 2},   {"3.5:7", 2},
        {"14:21", 1}, {"21:28", 1}, {"7:14", 0}, {":", 0},  {"1.8:3.5:7", 2}, {"7:", 0},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(BandPoints(C.Band), C.Points) << '"' << C.Band << '"';
}

TEST(BandNumber, NineLabels) {
    for (int N = 1; N <= 9; ++N)
        EXPECT_EQ(BandNumber(BandLabels[N - 1]), N);
    for (const char* Other : {"", "0", " 14", "14 ", "144", "1.80", "3,5"})
        EXPECT_EQ(BandNumber(Other), 0) << Other;
}

// The matcher stands for the pattern "[A-Z]{2}$"; it must agree with it.
TEST(AreaMatcher, AgreesWithThePattern) {
    const std::regex Pattern("[A-Z]{2}$");
    const char* Texts[] = {"59 AB",
                           "599 AB1",
                           "59ABC",
                           "A",
                           "",
                           "AB",
                           "ab",
                           "5NN Ab",
                           "AB\n",
                           "AB ",
                           "\xC4"
                           "B",
                           "A\xC4",
                           "ZZ",
                           "@A",
                           "A[",
                           "12 AZ"};
    const TAreaMatcher Matcher;
    for (const char* Text : Texts) {
        std::string_view Area;
        std::smatch Found;
        const std::string S(Text);
        const bool Expected = std::regex_search(S, Found, Pattern) &&
                              Found.position(0) + Found.length(0) == static_cast<long>(S.size());
        EXPECT_EQ(Matcher.Match(S, Area), Expected) << '"' << Text << '"';
        if (Expected) {
            EXPECT_EQ(Area, Found.str(0));
        }
    }
}

struct Qso {
    std::string Call, Band, Mode, Exchange;
    bool Commit;
    int Result;
};
struct Stat {
    std::string Band;
    int QSOs, Points, Multipliers;
    bool operator==(const Stat& O) const {
        return Band == O.Band && QSOs == O.QSOs && Points == O.Points &&
               Multipliers == O.Multipliers;
    }
};
std::ostream& operator<<(std::ostream& Out, const Stat& S) {
    return Out << "{" << S.Band << "," << S.QSOs << "," << S.Points << "," << S.Multipliers << "}";
}

struct ScoringCase {
    const char* Name;
    std::vector<std::string> AreaLines;
    std::vector<Qso> Qsos;
    std::vector<Stat> Stats;
    std::vector<std::string> Keys;
};

const std::vector<std::string> StandardAreas = {"AB=AB",     "CD=CD", "ef=EF", "GH=gh", "IJ=IJ ",
                                                "KL=KLMNOP", "MN=XY", "MN=MN", "=OP"};

TEST(ScoreQSO, Examples) {
    const ScoringCase Cases[] = {
        {"points per band, 0-point bands recorded",
         StandardAreas,
         {{"A1", "1.8", "CW", "", true, 2},
          {"A1", "10", "CW", "", true, 0},
          {"A1", "14", "CW", "", true, 1},
          {"A1", "", "CW", "", true, 0},
          {"A1", " 14", "CW", "", true, 0}},
         {{"1.8", 1, 2, 0}, {"10", 1, 0, 0}, {"14", 1, 1, 0}, {"", 1, 0, 0}, {" 14", 1, 0, 0}},
         {}},
        {"repeat of a 0-point QSO is a duplicate",
         StandardAreas,
         {{"A1", "10", "CW", "", true, 0},
          {"A1", "10", "CW", "", true, -1},
          {"A1", "10", "CW", "", false, -1}},
         {{"10", 1, 0, 0}},
         {}},
        {"band statistics in order of first QSO",
         StandardAreas,
         {{"A1", "14", "CW", "", true, 1},
          {"A2", "7", "CW", "", true, 2},
          {"A3", "14", "CW", "", true, 1}},
         {{"14", 2, 2, 0}, {"7", 1, 2, 0}},
         {}},
        {"exchanges: small letters, digits, three capitals, one letter",
         StandardAreas,
         {{"A1", "14", "CW", "59 ab", true, 1},
          {"A2", "14", "CW", "599 CD1", true, 1},
          {"A3", "7", "CW", "59XCD", true, 2},
          {"A4", "21", "CW", "A", true, 1},
          {"A5", "28", "CW", "  cd \t", true, 1}},
         {{"14", 2, 2, 1}, {"7", 1, 2, 1}, {"21", 1, 1, 0}, {"28", 1, 1, 1}},
         {"14|AB|", "7|CD|", "28|CD|"}},
        {"area lines: small-letter name counts, small-letter value, trailing blank, longer "
         "value, first of two names, line starting with =",
         StandardAreas,
         {{"A1", "14", "CW", "EF", true, 1},
          {"A2", "14", "CW", "GH", true, 1},
          {"A3", "14", "CW", "IJ", true, 1},
          {"A4", "14", "CW", "KL", true, 1},
          {"A5", "14", "CW", "MN", true, 1},
          {"A6", "14", "CW", "OP", true, 1},
          {"A7", "14", "CW", "QR", true, 1}},
         {{"14", 7, 7, 1}},
         {"14|EF|"}},
        {"same area on two bands counts twice, twice on one band once",
         StandardAreas,
         {{"A1", "14", "CW", "AB", true, 1},
          {"A2", "14", "CW", "AB", true, 1},
          {"A3", "7", "CW", "AB", true, 2}},
         {{"14", 2, 2, 1}, {"7", 1, 2, 1}},
         {"14|AB|", "7|AB|"}},
        {"keys match without regard to case across band texts",
         StandardAreas,
         {{"A1", "x", "CW", "AB", true, 0}, {"A2", "X", "CW", "AB", true, 0}},
         {{"x", 1, 0, 1}, {"X", 1, 0, 0}},
         {"x|AB|"}},
        {"band with a leading blank keeps its blank in the key",
         StandardAreas,
         {{"A1", " 14", "CW", "AB", true, 0}, {"A2", "14", "CW", "AB", true, 1}},
         {{" 14", 1, 0, 1}, {"14", 1, 1, 1}},
         {" 14|AB|", "14|AB|"}},
        {"without commit nothing changes",
         StandardAreas,
         {{"A1", "14", "CW", "AB", false, 1},
          {"A1", "14", "CW", "AB", false, 1},
          {"A2", "7", "SSB", "CD", false, 2}},
         {},
         {}},
        {"empty area list counts nothing",
         {},
         {{"A1", "14", "CW", "AB", true, 1}},
         {{"14", 1, 1, 0}},
         {}},
        {"duplicate leaves the exchange unused",
         StandardAreas,
         {{"A1", "14", "CW", "", true, 1}, {"A1", "14", "CW", "AB", true, -1}},
         {{"14", 1, 1, 0}},
         {}},
    };
    for (const ScoringCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        QsoContext Context{};
        TTally Tally(Context);
        Tally.AreaList.SetLines(C.AreaLines);
        for (const Qso& Q : C.Qsos) {
            SetQso(Context, Q.Call, Q.Band, Q.Mode, Q.Exchange);
            EXPECT_EQ(Tally.ScoreQSO(Q.Commit), Q.Result) << Q.Call << " " << Q.Band;
        }
        std::vector<Stat> Stats;
        for (const TStatistic& S : Tally.BandStats)
            Stats.push_back({S.Band, S.QSOs, S.Points, S.Multipliers});
        EXPECT_EQ(Stats, C.Stats);
        EXPECT_EQ(Tally.MultiplierKeys.Texts(), C.Keys);
    }
}

TEST(ScoreQSO, GetScoreAnswersWhatRecordingWouldReturn) {
    QsoContext Context{};
    TTally Tally(Context);
    const char* Bands[] = {"1.8", "10", "14", "", "7", "28", "x"};
    for (int I = 0; I < 40; ++I) {
        SetQso(Context, "C" + std::to_string(I % 5), Bands[I % 7], I % 3 ? "CW" : "SSB", "AB");
        const std::int32_t Asked = Tally.ScoreQSO(false);
        EXPECT_EQ(Tally.ScoreQSO(false), Asked);
        EXPECT_EQ(Tally.ScoreQSO(true), Asked);
    }
}

class TBandRecorder final : public TMultipliersView {
public:
    void SelectBand(std::int32_t Number) override { Selected.push_back(Number); }
    std::vector<std::int32_t> Selected;
};

TEST(ShowDXList, FollowsTheBandOfEveryRecordedQsoWhileAViewIsOpen) {
    struct Step {
        const char* Band;
        bool ViewOpen;
    };
    const Step Steps[] = {{"10", true},   {" 14", true}, {"144", true}, {"", true},
                          {"28 ", false}, {"1.8", true}, {"18", true}};
    QsoContext Context{};
    TTally Tally(Context);
    TBandRecorder View;
    int I = 0;
    for (const Step& S : Steps) {
        Tally.SetMultipliersView(S.ViewOpen ? &View : nullptr);
        SetQso(Context, "C" + std::to_string(I++), S.Band, "CW");
        Tally.ScoreQSO(true);
    }
    EXPECT_EQ(View.Selected, (std::vector<std::int32_t>{4, 5, 1, 6}));

    View.Selected.clear();
    Tally.SetMultipliersView(&View);
    SetQso(Context, "C0", "10", "CW"); // duplicate
    Tally.ScoreQSO(true);
    SetQso(Context, "NEW", "21", "CW"); // not recorded
    Tally.ScoreQSO(false);
    EXPECT_TRUE(View.Selected.empty());
}

TEST(MultiplierKeys, MembershipIgnoresCaseAndScalesPastHundredsOfKeys) {
    TMultiplierKeys Keys;
    for (char A = 'A'; A <= 'Z'; ++A)
        for (char B = 'A'; B <= 'Z'; ++B)
            for (const char* Band : {"14", "7", "a"})
                EXPECT_TRUE(Keys.Add(TMultiplierKey(Band, std::string{A, B})));
    EXPECT_EQ(Keys.Count(), 26u * 26u * 3u);
    EXPECT_EQ(Keys[0].Text(), "14|AA|");
    EXPECT_EQ(Keys[0].Band(), "14");
    EXPECT_EQ(Keys[0].Area(), "AA");
    EXPECT_TRUE(Keys.Contains(TMultiplierKey("14", "QZ")));
    EXPECT_TRUE(Keys.Contains(TMultiplierKey("14", "qz")));
    EXPECT_TRUE(Keys.Contains(TMultiplierKey("A", "QZ")));
    EXPECT_FALSE(Keys.Add(TMultiplierKey("A", "qz")));
    EXPECT_FALSE(Keys.Contains(TMultiplierKey("21", "QZ")));
    EXPECT_FALSE(Keys.Contains(TMultiplierKey("14|", "QZ")));
    EXPECT_FALSE(Keys.Contains(TMultiplierKey("", "QZ")));
    EXPECT_EQ(Keys.AreasOn("a").size(), 26u * 26u);
    EXPECT_TRUE(Keys.AreasOn("A").empty());
    Keys.Clear();
    EXPECT_FALSE(Keys.Contains(TMultiplierKey("14", "QZ")));
}

// The multipliers window marks a caption on a band when "band|caption|" stands
// anywhere inside a key, letter case counting.
TEST(MultiplierKeys, MarksWhereTheProbeStandsInsideAKey) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> Keys; // band, area
        const char* Label;
        const char* Caption;
        bool Marked;
    };
    const Case Cases[] = {
        {{{"14", "AB"}}, "14", "AB", true},
        {{{"14", "AB"}}, "7", "AB", false},
        {{{"14", "AB"}}, "14", "ab", false},
        {{{"14", "AB"}}, "14", "CD", false},
        {{{"14", "AB"}}, "", "AB", true},      // no band chosen yet: any band
        {{{"17", "AB"}}, "7", "AB", true},     // a band text ending with the label
        {{{" 14", "AB"}}, "14", "AB", true},   // the blank stays in the key
        {{{"14", "AB"}}, "14", "ABC", false},  // captions longer than a code
        {{{"14|AB", "CD"}}, "14", "AB", true}, // a band text holding "|"
        {{{"7", "CD"}, {"14", "AB"}}, "14", "AB", true},
        {{}, "14", "AB", false},
    };
    for (const Case& C : Cases) {
        TMultiplierKeys Keys;
        for (const auto& [Band, Area] : C.Keys)
            Keys.Add(TMultiplierKey(Band, Area));
        EXPECT_EQ(Keys.Marks(C.Label, C.Caption), C.Marked) << C.Label << " " << C.Caption;
    }
}

} // namespace
} // namespace brevlund
