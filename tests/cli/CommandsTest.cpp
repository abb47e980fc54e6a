// The commands as the operator calls them: exit codes, messages, the output
// forms, the order of scoring and the log database.
#include "CliSupport.h"
#include "LogScore.h"

#include "platform/headless/SqliteLogQuery.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <random>
#include <sstream>

namespace brevlund {
namespace {

using test::Brevlund;
using test::TRun;

class CommandsTest : public ::testing::Test {
protected:
    CommandsTest() { Dir.Write("brevlund.dom", "AB=AB\nCD=CD\nEF=EF\n"); }
    std::string File(const std::string& Name, std::string_view Text) {
        return Dir.Write(Name, Text);
    }
    test::TTempDir Dir;
};

const char* const Cabrillo = "START-OF-LOG: 3.0\n"
                             "QSO: 14000 CW 2026-03-07 1200 ME 599 X SM5A 599 AB\n"
                             "QSO: 7000 CW 2026-03-07 1200 ME 599 X OH2B 599 cd\n"
                             "QSO: 14000 CW 2026-03-07 1200 ME 599 X SM5A 599 CD\n"
                             "END-OF-LOG:\n";

const char* const Summary = "Band\t  QSOs\tPoints\t   OBL\t\n"
                            "  14\t     1\t     1\t     1\t\n"
                            "   7\t     1\t     2\t     1\t\n"
                            "Total\t     2\t     3\t     2\t\n"
                            " Score: 3*2=6\n";

// Help goes to standard output, for the tool and for each command.
TEST(Commands, HelpAndVersion) {
    const struct {
        std::vector<std::string> Args;
        std::string Out; // a part of it
    } Cases[] = {
        {{"--help"}, "check-areas"},
        {{"-h"}, "score"},
        {{"score", "--help"}, "--exchange-tokens K"},
        {{"check-areas", "--help"}, "FILE"},
        {{"--version"}, "brevlund 1."},
    };
    for (const auto& C : Cases) {
        const TRun Run = Brevlund(C.Args);
        EXPECT_EQ(Run.Code, 0) << C.Args[0];
        EXPECT_NE(Run.Out.find(C.Out), std::string::npos) << Run.Out;
        EXPECT_EQ(Run.Err, "");
    }
}

TEST_F(CommandsTest, ExitCodesAndMessages) {
    const std::string Log = File("a.log", Cabrillo);
    File("b.txt", "73, see you next year\n");
    File("c.txt", Cabrillo);
    struct Case {
        const char* Name;
        std::vector<std::string> Args;
        int Code;
        std::string Err; // a part of standard error; empty: nothing there
    };
    const Case Cases[] = {
        {"no command", {}, 2, "a command is needed"},
        {"unknown command", {"scores", Log}, 2, "unknown command scores"},
        {"score without a log", {"score"}, 2, "score needs a log file"},
        {"two logs", {"score", Log, Log}, 2, "one log at a time"},
        {"unknown option", {"score", Log, "--fast"}, 2, "unknown option --fast"},
        {"missing log", {"score", Dir.Path + "/none.log"}, 2, "cannot read"},
        {"a folder", {"score", Dir.Path + "/x.log"}, 2, "cannot read"},
        {"unknown format", {"score", Dir.Path + "/b.txt"}, 2, "unknown log format"},
        {"a folder without an extension", {"score", Dir.Path}, 2, "it is a folder"},
        {"a log by its content", {"score", Dir.Path + "/c.txt"}, 0, ""},
        {"bad order", {"score", Log, "--order", "time"}, 2, "--order is log or call"},
        {"order without value", {"score", Log, "--order"}, 2, "--order is log or call"},
        {"table on Cabrillo", {"score", Log, "--table", "Log"}, 2, "SQLite logs only"},
        {"tokens on CSV",
         {"score", Dir.Path + "/a.csv", "--exchange-tokens", "2"},
         2,
         "Cabrillo logs only"},
        {"tokens not a number", {"score", Log, "--exchange-tokens", "x"}, 2, "whole number"},
        {"tokens zero", {"score", Log, "--exchange-tokens=0"}, 2, "whole number"},
        {"flag with a value", {"score", Log, "--json=yes"}, 2, "takes no value"},
        {"missing area list named",
         {"score", Log, "--areas", Dir.Path + "/none.dom"},
         2,
         "cannot read"},
        {"fine", {"score", Log}, 0, ""},
        {"fine, options in any place",
         {"score", "--order=call", Log, "--exchange-tokens", "2"},
         0,
         ""},
        {"check-areas without a file", {"check-areas"}, 2, "one area list file"},
        {"check-areas on a missing file",
         {"check-areas", Dir.Path + "/none.dom"},
         2,
         "cannot read"},
        {"check-areas, clean", {"check-areas", Dir.Path + "/brevlund.dom"}, 0, ""},
        {"help", {"--help"}, 0, ""},
    };
    mkdir((Dir.Path + "/x.log").c_str(), 0755);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        const TRun Run = Brevlund(C.Args);
        EXPECT_EQ(Run.Code, C.Code);
        if (C.Err.empty()) {
            EXPECT_EQ(Run.Err, "");
            EXPECT_NE(Run.Out, "");
        } else {
            EXPECT_NE(Run.Err.find(C.Err), std::string::npos) << Run.Err;
            EXPECT_EQ(Run.Out, "");
        }
    }
}

// A log that is only summed up is scored as it is read and let go; with
// --qsos it is kept. Both roads give the same summary, messages and exit code,
// whatever the format and order.
TEST_F(CommandsTest, ScoringAsReadEqualsScoringKept) {
    const std::string Mixed =
        std::string(Cabrillo).insert(18, "QSO: 14000 CW 2026-03-07 1200 ME\n") +
        "after the end\nQSO: 3500 XX 2026-03-07 1200 ME 599 X K1A 599 EF\n";
    const std::string Logs[] = {
        File("mixed.log", Mixed),
        File("a.adi", "<CALL:2>A1<BAND:3>20m<MODE:2>CW<SRX:2>AB<EOR>\n<CALL:2>A1<MODE:2>CW<EOR>\n"
                      "<CALL:2>A1<BAND:3>20m<MODE:2>CW<SRX:2>CD<EOR>\n<CALL:2>B2<BAND:3>2m<MODE:3>"
                      "FT8<SRX:2>EF<EOR>\n"),
        File("a.csv", "SM5A;14;CW;599 AB\nbad line\nSM5A;14;CW;599 CD\nOH2B;7;CW;59 ef\n"),
    };
    for (const std::string& Log : Logs)
        for (const char* Order : {"log", "call"}) {
            SCOPED_TRACE(Log + " in " + Order + " order");
            const TRun Summed = Brevlund({"score", Log, "--order", Order});
            const TRun Kept = Brevlund({"score", Log, "--order", Order, "--qsos"});
            EXPECT_EQ(Summed.Code, Kept.Code);
            EXPECT_EQ(Summed.Err, Kept.Err);
            ASSERT_GE(Kept.Out.size(), Summed.Out.size());
            EXPECT_EQ(Kept.Out.substr(Kept.Out.size() - Summed.Out.size()), Summed.Out);
            EXPECT_NE(Summed.Out.find("Score: "), std::string::npos);
        }
}

TEST_F(CommandsTest, MalformedLinesAreReportedAndTheRestScored) {
    const std::string Log = File("bad.log", "START-OF-LOG: 3.0\n"
                                            "QSO: 14000 CW 2026-03-07 1200 ME 599 X SM5A 599 AB\n"
                                            "QSO: 7000 CW 2026-03-07 1200 ME 599 X OH2B 599 cd\n"
                                            "QSO: 14000 CW 2026-03-07 1200 ME 599 X SM5A 599 CD\n"
                                            "QSO: 14000 CW 2026-03-07 1200 ME\n"
                                            "QSO: 21000 CW 2026-03-07 1200 ME 5 X Y1 5 EF\n"
                                            "END-OF-LOG:\n");
    const TRun Run = Brevlund({"score", Log});
    EXPECT_EQ(Run.Code, 1);
    EXPECT_EQ(Run.Err, Log + ":5: QSO line needs my call, the sent exchange, the call and the "
                             "received exchange after the time; found 1 tokens\n");
    EXPECT_NE(Run.Out.find(" Score: 4*3=12"), std::string::npos) << Run.Out;

    const std::string Adif = File("bad.adi", "<CALL:2>A1<MODE:2>CW<EOR>\n<CALL:2>B1<BAND:3>"
                                             "20m<MODE:2>CW<SRX:2>AB<EOR>\n<CALL:9>X");
    const TRun AdifRun = Brevlund({"score", Adif});
    EXPECT_EQ(AdifRun.Code, 1);
    EXPECT_EQ(AdifRun.Err, Adif + ":1: record without BAND or FREQ\n" + Adif +
                               ":3: field CALL runs past the end of the file\n");
    EXPECT_NE(AdifRun.Out.find(" Score: 1*1=1"), std::string::npos) << AdifRun.Out;
}

// Text as UTF-16, with its byte-order mark or without.
std::string Utf16(std::u16string_view Text, bool Little, bool Mark = true) {
    std::string Bytes;
    for (const char16_t Unit : (Mark ? u"\uFEFF" : u"") + std::u16string(Text)) {
        const char High = static_cast<char>(Unit >> 8), Low = static_cast<char>(Unit & 0xFF);
        Bytes += Little ? std::string{Low, High} : std::string{High, Low};
    }
    return Bytes;
}

// How logs really arrive: each case is a file as some program or mail writes
// it, with the exit code and the messages the operator must get.
TEST_F(CommandsTest, LogsAsTheyArrive) {
    const std::string Q = "QSO: 14000 CW 2026-03-07 1200 SM0XYZ 599 X SM5A 599 AB\n";
    const std::string AdifQso = "<CALL:4>SM5A<BAND:3>20m<MODE:2>CW<SRX_STRING:6>599 AB<EOR>\n";
    struct Case {
        const char* Name;
        const char* File;
        std::string Text;
        int Code;
        std::string Score;             // a part of the output; empty: no output
        std::vector<std::string> Errs; // each standard error line after "FILE"
    };
    const Case Cases[] = {
        // Not a log at all, or not the one the name says.
        {"empty", "e.log", "", 2, "", {": the file is empty: no QSOs to score"}},
        {"only blanks", "e.adi", " \r\n\n", 2, "", {": the file is empty: no QSOs to score"}},
        {"header without QSOs",
         "h.log",
         "START-OF-LOG: 3.0\nCALLSIGN: SM0XYZ\nEND-OF-LOG:\n",
         2,
         "",
         {": no QSOs found: not a Cabrillo log?"}},
        {"ADIF without records",
         "h.adi",
         "a header\n<EOH>\n",
         2,
         "",
         {": no QSOs found: not an ADIF log?"}},
        {"Cabrillo saved as .adi",
         "c.adi",
         "START-OF-LOG: 3.0\n" + Q + "END-OF-LOG:\n",
         2,
         "",
         {": this looks like a Cabrillo log, not ADIF"}},
        {"ADIF saved as .log",
         "a.log",
         "<EOH>\n" + AdifQso,
         2,
         "",
         {": this looks like an ADIF log, not Cabrillo"}},
        {"binary",
         "b.log",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0QSO: x\n",
                     18),
         2,
         "",
         {": binary data, not a log"}},
        {"UTF-16 without a byte-order mark",
         "u.log",
         Utf16(std::u16string(Q.begin(), Q.end()), true, false),
         2,
         "",
         {": UTF-16 text without a byte-order mark, not read: save the log as UTF-8, or as "
          "UTF-16 with a byte-order mark"}},
        {"no QSO could be read",
         "n.log",
         "QSO: 14000 CW 2026-03-07 1200 ME 599 001 S50A\n",
         2,
         "",
         {": no QSOs found: not a Cabrillo log? (1 line could not be read; the first, line 1: "
          "\"001\" stands where the call belongs"}},
        // Nothing lost: exit 0, at most a warning.
        {"notes after END-OF-LOG:",
         "n.log",
         Q + "END-OF-LOG:\nQSO: 7000 CW 2026-03-07 1200 ME 1 K1A 2\n-- \nsent from my phone\n",
         0,
         " Score: 1*1=1",
         {":3: warning: 3 lines after END-OF-LOG: passed over; the log ends there"}},
        {"# comments in Cabrillo", "c.log", "# by hand\n" + Q, 0, " Score: 1*1=1", {}},
        // Decoded to single bytes: Latin-1 where it can, "?" with one warning where not.
        {"UTF-16 with its mark, little end first",
         "u.log",
         Utf16(std::u16string(Q.begin(), Q.end()), true),
         0,
         " Score: 1*1=1",
         {}},
        {"UTF-16 with its mark, big end first, characters beyond Latin-1",
         "u.log",
         Utf16(u"# Bj\u00F6rn\r\n# \u20AC \U0001F600\r\n" + std::u16string(Q.begin(), Q.end()) +
                   u"# \u20AC\r\n",
               false),
         0,
         " Score: 1*1=1",
         {":2: warning: the file is UTF-16BE text: characters that single-byte text lacks are "
          "read as \"?\", the first on this line"}},
        {"UTF-8 with its mark", "u.log", "\xEF\xBB\xBF" + Q, 0, " Score: 1*1=1", {}},
        {"ADIF header beginning with <, trailing <EOF>",
         "h.adi",
         "<ADIF_VER:5>3.1.4<EOH>\n" + AdifQso + "<EOF>\n",
         0,
         " Score: 1*1=1",
         {}},
        // Scored as written, with one warning for each band and mode it does not know.
        {"unknown bands and modes",
         "u.adi",
         AdifQso +
             "<CALL:3>K1A<BAND:3>60m<MODE:3>XYZ<EOR>\n<CALL:3>K1B<BAND:3>60M<MODE:3>xyz<EOR>\n"
             "<CALL:3>K1C<BAND:3>60m<MODE:2>CW<EOR>\n",
         0,
         " 60m\t     2\t     0\t     0\t\n 60M\t     1\t     0\t     0\t\n",
         {":2: warning: band \"60m\" is no contest band: scored as written, 0 points; 2 QSOs carry "
          "it",
          ":2: warning: mode \"XYZ\" is no known mode: scored as written; 2 QSOs carry it",
          ":3: warning: band \"60M\" is no contest band: scored as written, 0 points; 1 QSO "
          "carries it"}},
        // Case and spelling that real files mix make no new band or QSO.
        {"mode and band in any case, kHz and a decimal comma",
         "m.adi",
         AdifQso +
             "<CALL:4>SM5A<BAND:3>20M<MODE:2>cw<EOR>\n<CALL:3>K1A<BAND:2>2m<MODE:2>FM<EOR>\n"
             "<CALL:3>K1A<BAND:2>2M<MODE:2>FM<EOR>\n<CALL:3>K1B<FREQ:6>14,062<MODE:2>CW<EOR>\n"
             "<CALL:3>K1C<FREQ:6>50.125<MODE:2>CW<EOR>\n<CALL:3>K1C<FREQ:5>50125<MODE:2>CW<EOR>\n",
         0,
         "  14\t     2\t     2\t     1\t\n 144\t     1\t     0\t     0\t\n"
         "  50\t     1\t     0\t     0\t\nTotal\t     4\t     2\t     1\t\n",
         {}},
        {"empty ADIF fields",
         "f.adi",
         AdifQso +
             "<CALL:3>K1A<BAND:0><FREQ:5>7.025<MODE:2>CW<EOR>\n<CALL:0><BAND:3>20m<MODE:2>CW<EOR>\n"
             "<CALL:3>K1B<BAND:3>20m<MODE:0><EOR>\n",
         1,
         "   7\t     1\t     2\t     0\t\n",
         {":3: record without CALL", ":4: record without MODE"}},
        {"blanks and line ends around ADIF values",
         "b.adi",
         "<CALL:5>SM5A\n<BAND:4>20m\n<MODE:3>CW\n<SRX_STRING:7>599 AB\n<EOR>\n",
         0,
         "  14\t     1\t     1\t     1\t\n",
         {}},
        {"a call misread from a short exchange",
         "s.log",
         Q + "QSO: 7005 CW 2009-05-30 0002 SM0XYZ 599 CT 001 S50A 599 004\n",
         1,
         " Score: 1*1=1",
         {":2: 7 tokens after the time do not make two exchanges of one length: a last token "
          "\"004\" is no transmitter id (0 or 1); is a token missing or one too many?"}},
        {"a wrapped line",
         "w.log",
         Q + "QSO: 7005 CW 2026-03-07 1200 SM0XYZ 599 CT 001\nS50A 599 004\n"
             "QSO: 7005 CW 2026-03-07 1200 SM0XYZ 599 CT 002\nUA3A 599 TULA\n"
             "QSO: 7005 CW 2026-03-07 1200 SM0XYZ 599 CT CT3A 599 007\n",
         1,
         "   7\t     1\t     2\t     0\t\n",
         {":2: \"CT\" stands where the call belongs and is not a call (letters, digits and \"/\", "
          "a letter and a digit at least); is a token missing or one too many?",
          ":3: not a Cabrillo line: no tag such as \"QSO:\"", ":4: \"CT\" stands",
          ":5: not a Cabrillo line"}},
        {"VHF bands: codes and kHz make one band each",
         "v.log",
         "QSO: 50125 CW 2026-03-07 1200 SM0XYZ 599 X SM5A 599 AB\nQSO: 50 CW 2026-03-07 1200 "
         "SM0XYZ 599 X SM5A 599 AB\n"
         "QSO: 50200 CW 2026-03-07 1200 SM0XYZ 599 X SM5A 599 AB\n",
         0,
         "  50\t     1\t     0\t     1\t\n",
         {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        const std::string Log = File(C.File, C.Text);
        const TRun Run = Brevlund({"score", Log});
        EXPECT_EQ(Run.Code, C.Code) << Run.Err;
        if (C.Score.empty())
            EXPECT_EQ(Run.Out, "");
        else
            EXPECT_NE(Run.Out.find(C.Score), std::string::npos) << Run.Out;
        std::vector<std::string> Lines;
        std::istringstream Err(Run.Err);
        for (std::string Line; std::getline(Err, Line);)
            Lines.push_back(Line);
        ASSERT_EQ(Lines.size(), C.Errs.size()) << Run.Err;
        for (std::size_t I = 0; I < Lines.size(); ++I) {
            const std::string Want = (C.Code == 2 ? "brevlund: " : "") + Log + C.Errs[I];
            EXPECT_EQ(Lines[I].substr(0, Want.size()), Want);
        }
    }
}

TEST_F(CommandsTest, OutputForms) {
    const std::string Log = File("a.log", Cabrillo);
    EXPECT_EQ(Brevlund({"score", Log}).Out, Summary);

    const TRun Json = Brevlund({"score", Log, "--json"});
    EXPECT_EQ(Json.Out,
              "{\"bands\":[{\"band\":\"14\",\"qsos\":1,\"points\":1,\"multipliers\":1,\"areas\":["
              "\"AB\"]},{\"band\":\"7\",\"qsos\":1,\"points\":2,\"multipliers\":1,\"areas\":["
              "\"CD\"]}],\"total\":{\"qsos\":2,\"points\":3,\"multipliers\":2},\"score\":6}\n");

    const TRun Qsos = Brevlund({"score", Log, "--qsos"});
    EXPECT_EQ(Qsos.Out, Log + ":2: SM5A 14 CW \"599 AB\": 1 point, new multiplier AB\n" + Log +
                            ":3: OH2B 7 CW \"599 cd\": 2 points, new multiplier CD\n" + Log +
                            ":4: SM5A 14 CW \"599 CD\": duplicate of line 2\n\n" + Summary);

    const TRun Needed = Brevlund({"score", Log, "--needed"});
    EXPECT_EQ(Needed.Out, std::string(Summary) +
                              "\nAreas still needed:\n 1.8: AB CD EF\n 3.5: AB CD EF\n"
                              "   7: AB EF\n  10: AB CD EF\n  14: CD EF\n  18: AB CD EF\n"
                              "  21: AB CD EF\n  24: AB CD EF\n  28: AB CD EF\n");

    const TRun All = Brevlund({"score", Log, "--json", "--qsos", "--needed"});
    EXPECT_NE(All.Out.find(",\"qsos\":[{\"line\":2,\"call\":\"SM5A\",\"band\":\"14\",\"mode\":"
                           "\"CW\",\"exchange\":\"599 AB\",\"points\":1,\"new_multiplier\":"
                           "\"AB\"},"),
              std::string::npos)
        << All.Out;
    EXPECT_NE(All.Out.find("{\"line\":4,\"call\":\"SM5A\",\"band\":\"14\",\"mode\":\"CW\","
                           "\"exchange\":\"599 CD\",\"points\":-1,\"duplicate_of\":2}"),
              std::string::npos);
    EXPECT_NE(All.Out.find(",\"needed\":[{\"band\":\"1.8\",\"areas\":[\"AB\",\"CD\",\"EF\"]},"),
              std::string::npos);
    EXPECT_NE(All.Out.find("{\"band\":\"14\",\"areas\":[\"CD\",\"EF\"]}"), std::string::npos);

    // JSON escapes what is not plain printable ASCII.
    const std::string Odd = File("odd.csv", "A\"\\\xE9;14;CW;\t59 AB\n");
    EXPECT_NE(Brevlund({"score", Odd, "--json", "--qsos"})
                  .Out.find("\"call\":\"A\\\"\\\\\\u00e9\",\"band\":\"14\",\"mode\":\"CW\","
                            "\"exchange\":\"\\t59 AB\""),
              std::string::npos);
}

TEST_F(CommandsTest, AreaListBesideTheLogOrNamed) {
    const std::string Log = File("a.log", Cabrillo);
    File("other.dom", "CD=CD\n");
    EXPECT_NE(
        Brevlund({"score", Log, "--areas", Dir.Path + "/other.dom"}).Out.find(" Score: 3*1=3"),
        std::string::npos);
    std::remove((Dir.Path + "/brevlund.dom").c_str());
    const TRun Run = Brevlund({"score", Log});
    EXPECT_EQ(Run.Code, 0);
    EXPECT_EQ(Run.Err, "brevlund: no area list at " + Dir.Path +
                           "/brevlund.dom: no area counts as a multiplier (name one with "
                           "--areas)\n");
    EXPECT_NE(Run.Out.find(" Score: 3*0=0"), std::string::npos);
}

// The order decides which of two equal QSOs is recorded (and so whose
// exchange counts) and the order of the bands.
TEST_F(CommandsTest, OrderOfScoring) {
    const std::string Log = File("order.csv", "ZZ;7;CW;599 AB\n"
                                              "B;14;CW;599 CD\n"
                                              "a;14;CW;599 EF\n"
                                              "B;14;CW;599 EF\n");
    const TRun ByLog = Brevlund({"score", Log, "--qsos"});
    EXPECT_EQ(ByLog.Out, Log + ":1: ZZ 7 CW \"599 AB\": 2 points, new multiplier AB\n" + Log +
                             ":2: B 14 CW \"599 CD\": 1 point, new multiplier CD\n" + Log +
                             ":3: a 14 CW \"599 EF\": 1 point, new multiplier EF\n" + Log +
                             ":4: B 14 CW \"599 EF\": duplicate of line 2\n\n"
                             "Band\t  QSOs\tPoints\t   OBL\t\n"
                             "   7\t     1\t     2\t     1\t\n"
                             "  14\t     2\t     2\t     2\t\n"
                             "Total\t     3\t     4\t     3\t\n"
                             " Score: 4*3=12\n");
    const TRun ByCall = Brevlund({"score", Log, "--qsos", "--order", "call"});
    EXPECT_EQ(ByCall.Out, Log + ":2: B 14 CW \"599 CD\": 1 point, new multiplier CD\n" + Log +
                              ":4: B 14 CW \"599 EF\": duplicate of line 2\n" + Log +
                              ":1: ZZ 7 CW \"599 AB\": 2 points, new multiplier AB\n" + Log +
                              ":3: a 14 CW \"599 EF\": 1 point, new multiplier EF\n\n"
                              "Band\t  QSOs\tPoints\t   OBL\t\n"
                              "  14\t     2\t     2\t     2\t\n"
                              "   7\t     1\t     2\t     1\t\n"
                              "Total\t     3\t     4\t     3\t\n"
                              " Score: 4*3=12\n");
}

TEST_F(CommandsTest, LogDatabase) {
    const std::string Db = Dir.Path + "/log.sqlite";
    {
        TSqliteConnection Log(Db);
        const std::string Columns = "(QSOReportRecived, DXCCPrefix, MainPrefix, CallSign, "
                                    "DigiBand, QSOMode, Continent)";
        Log.Execute("create table Log " + Columns);
        Log.Execute("insert into Log values ('599 AB', 'SM', 'SM', 'ZZ', '7', 'CW', 'EU')");
        Log.Execute("insert into Log values ('599 CD', 'SM', 'SM', 'B', '14', 'CW', 'EU')");
        Log.Execute("create table Contest2 " + Columns);
        Log.Execute("insert into Contest2 values ('599 EF', 'SM', 'SM', 'C', '21', 'SSB', 'EU')");
        Log.Execute("create table Short (CallSign, DigiBand, DXCCPrefix)");
        Log.Execute("insert into Short values ('A', '14', 'SM')");
    }
    struct Case {
        std::vector<std::string> Args;
        int Code;
        std::string Out; // a part of it
        std::string Err;
    };
    const Case Cases[] = {
        {{"--qsos"}, 0, Db + ":1: B 14 CW \"599 CD\": 1 point, new multiplier CD\n", ""},
        {{"--order", "log", "--qsos"}, 0, Db + ":1: ZZ 7 CW \"599 AB\": 2 points", ""},
        {{"--table", "Contest2"}, 0, "  21\t     1\t     1\t     1\t\n", ""},
        {{"--table", "Nope"}, 2, "", Db + ": no such table: Nope"},
        {{"--table", "Short"}, 2, "", Db + ": LogQuery: Field 'QSOReportRecived' not found"},
        {{"--exchange-tokens", "2"}, 2, "", "Cabrillo logs only"},
    };
    for (const Case& C : Cases) {
        std::vector<std::string> Args = {"score", Db};
        Args.insert(Args.end(), C.Args.begin(), C.Args.end());
        const TRun Run = Brevlund(Args);
        SCOPED_TRACE(Args.back());
        EXPECT_EQ(Run.Code, C.Code) << Run.Err;
        EXPECT_NE(Run.Out.find(C.Out), std::string::npos) << Run.Out;
        if (C.Err.empty())
            EXPECT_EQ(Run.Err, "");
        else
            EXPECT_NE(Run.Err.find(C.Err), std::string::npos) << Run.Err;
    }

    // A missing database is reported, not created; a file that is no database too.
    const std::string Missing = Dir.Path + "/none.db";
    EXPECT_EQ(Brevlund({"score", Missing}).Code, 2);
    struct stat Info {};
    EXPECT_NE(stat(Missing.c_str(), &Info), 0);
    const TRun NotDb = Brevlund({"score", File("text.db", "no database here\n")});
    EXPECT_EQ(NotDb.Code, 2);
    EXPECT_NE(NotDb.Err.find("not a database"), std::string::npos) << NotDb.Err;
}

TEST_F(CommandsTest, CheckAreas) {
    const std::string List = File("list.dom", "; areas\nAB=AB\nCD=cd\nEF EF\nab=AB\nGH=GH\n");
    const TRun Run = Brevlund({"check-areas", List});
    EXPECT_EQ(Run.Code, 1);
    EXPECT_EQ(Run.Out,
              List + ":3: value \"cd\" has small letters: it never counts; write \"CD\"\n" + List +
                  ":4: no \"=\": the line is passed over; an area is written \"EF=EF\"\n" + List +
                  ":5: name \"ab\" is taken by line 2: this line is never used\n"
                  "2 areas count\n");
    EXPECT_EQ(Run.Err, "");
    const TRun One = Brevlund({"check-areas", File("one.dom", "AB=AB")});
    EXPECT_EQ(One.Code, 0);
    EXPECT_EQ(One.Out, "1 area counts\n");
}

// The tool's worked list keeps log order and a hash index instead of the
// plug-in's sorted list: for any sequence of QSOs, the same points and
// duplicates, the same summary and multiplier keys as _AddQSO one after
// another (score, then sort), and each duplicate names the line that counted.
TEST(LogScore, SameAsThePluginsSortedList) {
    TAreaList Areas;
    Areas.SetLines({"AB=AB", "CD=CD", "ef=EF"});
    std::mt19937 Random(16);
    const auto Pick = [&](std::initializer_list<const char*> Items) {
        return std::string(Items.begin()[Random() % Items.size()]);
    };
    for (int Round = 0; Round < 40; ++Round) {
        QsoContext Context{};
        TTally Plugin(Context);
        Plugin.AreaList.SetLines(Areas.Lines());
        cli::TLogScore Tool(Areas);
        std::map<std::tuple<std::string, std::string, std::string>, std::size_t> First;
        std::vector<std::string> Recorded;
        const int Count = 1 + static_cast<int>(Random() % 400);
        for (int I = 0; I < Count; ++I) {
            logformats::TLogQSO Q;
            Q.Line = static_cast<std::size_t>(I) + 1;
            Q.Call = Pick({"SM5A", "sm5a", "OH2B", "A1", "Z9Z", "K1", "DL1C", "", "SM5A/P",
                           "\xC4"
                           "1"});
            if (Random() % 8 == 0) Q.Call += std::to_string(Random() % 1000);
            Q.Band = Pick({"14", "7", " 14", "10", "", "144", "1.8"});
            Q.Mode = Pick({"CW", "SSB", "cw"});
            Q.Exchange = Pick({"599 AB", "59 cd", "599 EF", "599 XY", "1"});
            test::SetQso(Context, Q.Call, Q.Band, Q.Mode, Q.Exchange);
            const std::int32_t Want = Plugin.ScoreQSO(true);
            if (Want >= 0) Plugin.SortWorkedQSOs();
            const cli::TVerdict Got = Tool.Add(Q);
            ASSERT_EQ(Got.Points, Want) << Round << " " << I;
            const auto Key = std::make_tuple(Q.Call, Q.Band, Q.Mode);
            if (Want < 0) {
                EXPECT_EQ(Got.DuplicateOf, First.at(Key));
            } else {
                First.emplace(Key, Q.Line);
                Recorded.push_back(Q.Call);
            }
        }
        EXPECT_EQ(Tool.Summary(), SummaryText(Plugin.BandStats));
        EXPECT_EQ(Tool.Tally().MultiplierKeys.Items(), Plugin.MultiplierKeys.Items());
        // No shift a QSO: the records stand in the order they were logged.
        ASSERT_EQ(Tool.Tally().WorkedQSOs.Count(), Recorded.size());
        for (std::size_t I = 0; I < Recorded.size(); ++I)
            EXPECT_EQ(Tool.Tally().WorkedQSOs[I].Call, Recorded[I]);
    }
}

// The program itself, on the bundled example logs.
TEST(Program, ScoresTheExamples) {
    const std::string Areas = std::string(BREVLUND_EXAMPLES) + "/host/Plugins/brevlund.dom";
    struct Case {
        const char* Log;
        const char* Score;
    };
    for (const Case& C :
         {Case{"contest.log", " Score: 19*12=228"}, Case{"contest.adi", " Score: 10*7=70"},
          Case{"log.csv", " Score: 19*11=209"}}) {
        const std::string Command = std::string(BREVLUND_EXE) + " score " + BREVLUND_EXAMPLES +
                                    "/" + C.Log + " --areas " + Areas;
        std::FILE* Pipe = popen(Command.c_str(), "r");
        ASSERT_NE(Pipe, nullptr);
        std::string Out;
        char Buffer[4096];
        std::size_t Got;
        while ((Got = std::fread(Buffer, 1, sizeof Buffer, Pipe)) > 0)
            Out.append(Buffer, Got);
        EXPECT_EQ(pclose(Pipe), 0) << C.Log;
        EXPECT_NE(Out.find(C.Score), std::string::npos) << C.Log << "\n" << Out;
    }
}

} // namespace
} // namespace brevlund
