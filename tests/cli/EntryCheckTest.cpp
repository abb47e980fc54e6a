// What an entrant is told before sending a log (`score --check`), and how a
// Cabrillo header's category is read, Cabrillo 3's tags and Cabrillo 2's line.
#include "CliSupport.h"

#include "logformats/Cabrillo.h"
#include "logformats/EntryHeader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace brevlund {
namespace {

using test::Brevlund;

// Scores 4*3=12 with the area list below.
const std::string GoodLog = "START-OF-LOG: 3.0\n"
                            "CALLSIGN: SM5AAA\n"
                            "CONTEST: BREVLUND-DX\n"
                            "CATEGORY-OPERATOR: SINGLE-OP\n"
                            "CATEGORY-BAND: ALL\n"
                            "CATEGORY-MODE: CW\n"
                            "CATEGORY-POWER: LOW\n"
                            "CLAIMED-SCORE: 12\n"
                            "QSO: 14000 CW 2026-03-07 1200 SM5AAA 599 AB SM5A 599 AB\n"
                            "QSO: 7000 CW 2026-03-07 1201 SM5AAA 599 AB OH2B 599 CD\n"
                            "QSO: 14000 CW 2026-03-07 1202 SM5AAA 599 AB DL1C 599 CD\n"
                            "END-OF-LOG:\n";

std::string Edited(std::string Text,
                   const std::vector<std::pair<std::string, std::string>>& Edits) {
    for (const auto& [From, To] : Edits) {
        const std::size_t At = Text.find(From);
        EXPECT_NE(At, std::string::npos) << From;
        if (At != std::string::npos) Text.replace(At, From.size(), To);
    }
    return Text;
}

TEST(ScoreCheck, HeadersAndQsosBeforeSending) {
    test::TTempDir Dir;
    Dir.Write("brevlund.dom", "AB=AB\nCD=CD\n");
    const std::string Period = Dir.Write(
        "contest.json", R"({"contest": "BREVLUND-DX", "sent": [{"name": "rst", "kind": "rst"},
        {"name": "area", "kind": "text"}], "received": [{"name": "rst", "kind": "rst"},
        {"name": "area", "kind": "text"}], "compare": ["area"],
        "period": {"start": "2026-03-07 1200", "end": "2026-03-07 1201"}})");
    const std::string Other = Dir.Write(
        "other.json", R"({"contest": "SPRING-SPRINT", "sent": [{"name": "rst", "kind": "rst"},
        {"name": "area", "kind": "text"}], "received": [{"name": "rst", "kind": "rst"},
        {"name": "area", "kind": "text"}], "compare": ["area"],
        "cabrillo_contest": ["SPRING-SPRINT", "SPRINT"]})");
    struct Case {
        const char* Name;
        std::vector<std::pair<std::string, std::string>> Edits;
        std::vector<std::string> Options;
        int Code;
        std::vector<std::string> Findings; // "LINE: part of the message"
    };
    const Case Cases[] = {
        {"fit to send", {}, {}, 0, {}},
        {"required tags missing",
         {{"START-OF-LOG: 3.0\n", ""}, {"CALLSIGN: SM5AAA\n", ""}, {"CONTEST: BREVLUND-DX\n", ""}},
         {},
         1,
         {"1: no START-OF-LOG: line", "1: no CALLSIGN", "1: no CONTEST"}},
        {"a category part missing",
         {{"CATEGORY-MODE: CW\n", ""}},
         {},
         1,
         {"1: no CATEGORY-MODE: (CW, DIGI"}},
        {"a value outside the lists",
         {{"POWER: LOW", "POWER: MEDIUMISH"}},
         {},
         1,
         {"7: CATEGORY-POWER: \"MEDIUMISH\" is none of Cabrillo 3's values (HIGH, LOW, QRP)"}},
        {"an unknown category tag",
         {{"POWER: LOW\n", "POWER: LOW\nCATEGORY-COLOUR: RED\n"}},
         {},
         1,
         {"8: CATEGORY-COLOUR: is none"}},
        {"Cabrillo 2",
         {{"START-OF-LOG: 3.0", "START-OF-LOG: 2.0"},
          {"CATEGORY-OPERATOR: SINGLE-OP\nCATEGORY-BAND: ALL\nCATEGORY-MODE: CW\nCATEGORY-POWER: "
           "LOW",
           "CATEGORY: SINGLE-OP ALL LOW CW"}},
         {},
         1,
         {"1: START-OF-LOG: \"2.0\"", "4: CATEGORY: is Cabrillo 2's"}},
        {"claimed score too high",
         {{"SCORE: 12", "SCORE: 13"}},
         {},
         1,
         {"8: CLAIMED-SCORE: 13, but the log's QSOs score 12"}},
        {"claimed score with digit groups", {{"SCORE: 12", "SCORE: 0,012"}}, {}, 0, {}},
        {"claimed score no number",
         {{"SCORE: 12", "SCORE: twelve"}},
         {},
         1,
         {"8: CLAIMED-SCORE: \"twelve\" is no whole number"}},
        {"single band, a QSO on another",
         {{"BAND: ALL", "BAND: 20M"}},
         {},
         1,
         {"10: QSO with OH2B on band 7 in a single-band entry (20M)"}},
        {"outside the period",
         {},
         {"--contest", Period},
         1,
         {"11: QSO with DL1C at 2026-03-07T12:02Z lies outside the contest period"}},
        {"another contest's name",
         {},
         {"--contest", Other},
         1,
         {"3: CONTEST: \"BREVLUND-DX\" is not \"SPRING-SPRINT\" or \"SPRINT\", the contest"}},
        {"no END-OF-LOG", {{"END-OF-LOG:\n", ""}}, {}, 1, {"1: no END-OF-LOG: line"}},
        {"no header at all",
         {{"START-OF-LOG: 3.0\nCALLSIGN: SM5AAA\nCONTEST: BREVLUND-DX\nCATEGORY-OPERATOR: "
           "SINGLE-OP\nCATEGORY-BAND: ALL\nCATEGORY-MODE: CW\nCATEGORY-POWER: LOW\n"
           "CLAIMED-SCORE: 12\n",
           ""},
          {"END-OF-LOG:\n", ""}},
         {},
         1,
         {"1: no Cabrillo header: the log declares no call, contest or category"}},
        {"a line not read",
         {{"1202", "2460"}},
         {"--contest", Period},
         1,
         {"8: CLAIMED-SCORE: 12, but the log's QSOs score 6"}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::string Log = Dir.Write("entry.log", Edited(GoodLog, C.Edits));
        std::vector<std::string> Args = {"score", Log, "--check"};
        Args.insert(Args.end(), C.Options.begin(), C.Options.end());
        const test::TRun Run = Brevlund(Args);
        EXPECT_EQ(Run.Code, C.Code) << Run.Out << Run.Err;
        std::size_t Lines = 0;
        for (char Ch : Run.Out)
            Lines += Ch == '\n';
        EXPECT_EQ(Lines, C.Findings.size() + 1) << Run.Out; // a line each, and the summary
        for (const std::string& F : C.Findings)
            EXPECT_NE(Run.Out.find(Log + ":" + F), std::string::npos) << F << "\n" << Run.Out;
        EXPECT_NE(Run.Out.find(C.Code == 0 ? ": fit to send" : ": not fit to send"),
                  std::string::npos)
            << Run.Out;
    }
    // A line not read is told where it is, and the summary counts it.
    const test::TRun Bad = Brevlund(
        {"score", Dir.Write("bad.log", Edited(GoodLog, {{"1202", "2460"}})), "--check", "--json"});
    EXPECT_EQ(Bad.Code, 1);
    EXPECT_NE(Bad.Err.find("bad.log:11: time \"2460\" is no time of day"), std::string::npos)
        << Bad.Err;
    EXPECT_NE(Bad.Out.find("\"fit_to_send\":false"), std::string::npos) << Bad.Out;
    const test::TRun Both = Brevlund({"score", Dir.Path + "/bad.log", "--check", "--qsos"});
    EXPECT_EQ(Both.Code, 2);
    EXPECT_NE(Both.Err.find("--check prints its findings alone"), std::string::npos) << Both.Err;
    // An ADIF log has no header to check.
    const test::TRun Adif = Brevlund(
        {"score", Dir.Write("a.adi", "<CALL:4>SM5A<BAND:3>20m<MODE:2>CW<EOR>\n"), "--check"});
    EXPECT_EQ(Adif.Code, 1);
    EXPECT_NE(Adif.Out.find("a.adi:1: not a Cabrillo log"), std::string::npos) << Adif.Out;
}

TEST(EntryHeader, CategoriesAsWritten) {
    struct Case {
        const char* Header;
        std::string Category;
        bool CheckLog;
        std::optional<std::string> SingleBand;
        std::optional<std::int64_t> Claimed;
        std::size_t Notes;
    };
    const Case Cases[] = {
        {"CATEGORY-OPERATOR: single-op\nCATEGORY-BAND: 20m\nCATEGORY-POWER: HIGH\n",
         "SINGLE-OP 20M HIGH", false, "14", std::nullopt, 0},
        {"CATEGORY-BAND: 2M\nCATEGORY-OPERATOR: CHECKLOG\nCLAIMED-SCORE: 1 234 567\n",
         "CHECKLOG 2M", true, "144", 1234567, 0},
        {"CATEGORY: SINGLE-OP-ASSISTED ALL LOW\n", "SINGLE-OP ALL LOW ASSISTED", false,
         std::nullopt, std::nullopt, 0},
        {"CATEGORY: MULTI-MULTI ALL HIGH MIXED\n", "MULTI-OP ALL MIXED HIGH UNLIMITED", false,
         std::nullopt, std::nullopt, 0},
        // A word for a part given already is passed over, with a note.
        {"CATEGORY: SINGLE-OP ALL LOW CW SSB\n", "SINGLE-OP ALL CW LOW", false, std::nullopt,
         std::nullopt, 1},
        // Words that fit no list keep the place Cabrillo 2 gives them.
        {"CATEGORY: SO 40 QRP\nCLAIMED-SCORE: 12.500\n", "SO 40 QRP", false, std::nullopt, 12500,
         2},
        {"CATEGORY-BAND: VHF-3-BAND\nCATEGORY-BAND: 40M\nCLAIMED-SCORE: -5\n", "VHF-3-BAND", false,
         std::nullopt, std::nullopt, 1},
        {"CATEGORY-POWER: MEDIUMISH\nCATEGORY-TIME: 6-HOURS\nCATEGORY-OVERLAY: ROOKIE\n",
         "MEDIUMISH 6-HOURS ROOKIE", false, std::nullopt, std::nullopt, 1},
        {"CALLSIGN: sm5aaa\n", "", false, std::nullopt, std::nullopt, 0},
        // Beside Cabrillo 3's tags a CATEGORY: line is the sponsor's own
        // class; an empty value says nothing.
        {"CATEGORY: A - Single Operator LP\nCATEGORY-OPERATOR: SINGLE-OP\nCATEGORY-ASSISTED:\n"
         "CATEGORY-BAND: ALL\nCLAIMED-SCORE:\n",
         "SINGLE-OP ALL", false, std::nullopt, std::nullopt, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Header);
        const logformats::TLogRead Read = logformats::ReadCabrillo(C.Header);
        std::vector<logformats::THeaderNote> Notes;
        const logformats::TEntryHeader H = logformats::ReadEntryHeader(Read, &Notes);
        EXPECT_EQ(H.CategoryText(), C.Category);
        EXPECT_EQ(H.HasCategory(), !C.Category.empty());
        EXPECT_EQ(H.CheckLog(), C.CheckLog);
        EXPECT_EQ(H.SingleBand(), C.SingleBand);
        EXPECT_EQ(H.ClaimedScoreValue(), C.Claimed);
        EXPECT_EQ(Notes.size(), C.Notes);
    }
}

} // namespace
} // namespace brevlund
