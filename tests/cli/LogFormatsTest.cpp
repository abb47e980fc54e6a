// The log readers, one table of examples per format; the text they read.
#include "Json.h"
#include "LogInput.h"
#include "logformats/Adif.h"
#include "logformats/Bands.h"
#include "logformats/Cabrillo.h"
#include "logformats/CsvLog.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <tuple>

namespace brevlund::logformats {
namespace {

// The four scoring texts of a QSO and its line: what every reader must get right.
struct TScored {
    std::size_t Line;
    std::string Call, Band, Mode, Exchange;
};

struct Example {
    const char* Name;
    std::string Text;
    std::vector<TScored> QSOs;
    std::vector<std::size_t> ProblemLines;
    std::vector<std::size_t> WarningLines = {};
};

template <typename QSO> std::string Show(const QSO& Q) {
    return std::to_string(Q.Line) + ": [" + Q.Call + "] [" + Q.Band + "] [" + Q.Mode + "] [" +
           Q.Exchange + "]";
}

void Expect(const Example& E, const TLogRead& Read) {
    SCOPED_TRACE(E.Name);
    std::vector<std::string> Got, Want;
    for (const TLogQSO& Q : Read.QSOs)
        Got.push_back(Show(Q));
    for (const TScored& Q : E.QSOs)
        Want.push_back(Show(Q));
    EXPECT_EQ(Got, Want);
    std::vector<std::size_t> Lines;
    std::string Messages;
    for (const TLogProblem& P : Read.Problems) {
        Lines.push_back(P.Line);
        Messages += P.Message + "\n";
        EXPECT_FALSE(P.Message.empty());
    }
    EXPECT_EQ(Lines, E.ProblemLines) << Messages;
    Lines.clear();
    for (const TLogProblem& W : Read.Warnings)
        Lines.push_back(W.Line);
    EXPECT_EQ(Lines, E.WarningLines);
}

TEST(Bands, FrequenciesAndNames) {
    struct Case {
        const char* Text;
        std::optional<std::string_view> KHz, MHz;
    };
    const Case Cases[] = {
        {"1800", "1.8", std::nullopt},
        {"2000", "1.8", std::nullopt},
        {"2000.1", std::nullopt, std::nullopt},
        {"1799.9", std::nullopt, std::nullopt},
        {"3500", "3.5", "3.4G"},
        {"4000", "3.5", std::nullopt},
        {"7300", "7", std::nullopt},
        {"7300.5", std::nullopt, std::nullopt},
        {"10100", "10", "10G"},
        {"10150", "10", "10G"},
        {"10151", std::nullopt, "10G"},
        {"14000", "14", std::nullopt},
        {"14350", "14", std::nullopt},
        {"14350.0", "14", std::nullopt},
        {"18068", "18", std::nullopt},
        {"18168", "18", std::nullopt},
        {"21450", "21", std::nullopt},
        {"24890", "24", std::nullopt},
        {"24990", "24", std::nullopt},
        {"28000", "28", std::nullopt},
        {"29700", "28", std::nullopt},
        {"29701", std::nullopt, std::nullopt},
        {"14", std::nullopt, "14"},
        {"14.35", std::nullopt, "14"},
        {"14.350", std::nullopt, "14"},
        {"14.34999", std::nullopt, "14"},
        {"14.3501", std::nullopt, std::nullopt},
        {"14.35001", std::nullopt, std::nullopt},
        {"1.8", std::nullopt, "1.8"},
        {"3.999", std::nullopt, "3.5"},
        {"7.0", std::nullopt, "7"},
        {"29.7", std::nullopt, "28"},
        {"", std::nullopt, std::nullopt},
        {".", std::nullopt, std::nullopt},
        {"14.0.0", std::nullopt, std::nullopt},
        {"-14000", std::nullopt, std::nullopt},
        {"14 000", std::nullopt, std::nullopt},
        {"50", std::nullopt, "50"},
        {"14,062", std::nullopt, "14"},
        {"14062,5", "14", std::nullopt},
        {"50125", "50", std::nullopt},
        {"144.3", std::nullopt, "144"},
        {"1296200", "1.2G", std::nullopt},
        {"10368.1", std::nullopt, "10G"},
        {"29701.5", std::nullopt, std::nullopt},
        {"49999", std::nullopt, std::nullopt},
        {"14,0,6", std::nullopt, std::nullopt},
        {"99999999999999999999999", std::nullopt, std::nullopt},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(BandOfKHz(C.Text), C.KHz) << C.Text << " kHz";
        EXPECT_EQ(BandOfMHz(C.Text), C.MHz) << C.Text << " MHz";
    }

    const std::pair<const char*, std::optional<std::string_view>> Names[] = {
        {"160m", "1.8"}, {"80M", "3.5"}, {"40m", "7"},    {"30m", "10"}, {"20m", "14"},
        {"17m", "18"},   {"15M", "21"},  {"12m", "24"},   {"10m", "28"}, {"6m", "50"},
        {"20", {}},      {"20m ", {}},   {"2m", "144"},   {"2M", "144"}, {"23cm", "1.2G"},
        {"60m", {}},     {"", {}},       {"1.25m", "222"}};
    for (const auto& [Name, Label] : Names)
        EXPECT_EQ(BandOfAdifName(Name), Label) << Name;

    EXPECT_EQ(CabrilloMode("CW"), "CW");
    EXPECT_EQ(CabrilloMode("PH"), "SSB");
    EXPECT_EQ(CabrilloMode("ph"), "SSB");
    EXPECT_EQ(CabrilloMode("RY"), "RTTY");
    EXPECT_EQ(CabrilloMode("DG"), "DIGI");
    EXPECT_EQ(CabrilloMode("FM"), "FM");
    EXPECT_EQ(CabrilloMode("FT8"), "FT8");
    EXPECT_EQ(CabrilloMode("ft8"), "FT8");
    EXPECT_EQ(AdifMode("cw"), "CW");
    for (const char* Code : {"50", "70", "144", "222", "432", "902", "1.2G", "2.3G", "3.4G", "5.7G",
                             "10G", "24G", "47G", "75G", "122G", "134G", "241G", "LIGHT"}) {
        EXPECT_EQ(BandOfCode(Code), Code);
        EXPECT_TRUE(IsContestBand(Code));
    }
    EXPECT_EQ(BandOfCode("1.2g"), "1.2G");
    EXPECT_EQ(BandOfCode("light"), "LIGHT");
    EXPECT_EQ(BandOfCode("123G"), "122G");
    EXPECT_EQ(BandOfCode("14"), std::nullopt);
    EXPECT_EQ(BandOfCode("2m"), std::nullopt);
    EXPECT_TRUE(IsContestBand("14"));
    EXPECT_FALSE(IsContestBand("14000"));
    EXPECT_FALSE(IsContestBand("light"));
    EXPECT_EQ(BandOfAdifFreq("14.062"), "14");
    EXPECT_EQ(BandOfAdifFreq("14062"), "14");
    EXPECT_EQ(BandOfAdifFreq("50125"), "50");
    EXPECT_EQ(BandOfAdifFreq("10120"), "10G"); // MHz first, as the field says
    EXPECT_EQ(CabrilloMode("SSB"), "SSB");
}

TEST(Cabrillo, Examples) {
    const std::string Q1 = "QSO: 14012 CW 2026-03-07 1200 SM0XYZ 599 KA SM5AAA 599 AN";
    const Example Examples[] = {
        {"one QSO among header lines",
         "START-OF-LOG: 3.0\nCALLSIGN: SM0XYZ\n" + Q1 + "\nEND-OF-LOG:\n",
         {{3, "SM5AAA", "14", "CW", "599 AN"}},
         {}},
        {"transmitter id 0 or 1 after an even count",
         Q1 + " 1\n" + Q1 + " 0\n",
         {{1, "SM5AAA", "14", "CW", "599 AN"}, {2, "SM5AAA", "14", "CW", "599 AN"}},
         {}},
        {"one token each way",
         "QSO: 7012 PH 2026-03-07 1200 SM0XYZ KA F5EEE an\n",
         {{1, "F5EEE", "7", "SSB", "an"}},
         {}},
        {"three tokens each way, blanks and tabs between",
         "QSO:\t3520  RY 2026-03-07 1200 SM0XYZ 599 12 KA  OH2B   599\t7 BO\r\n",
         {{1, "OH2B", "3.5", "RTTY", "599 7 BO"}},
         {}},
        {"frequencies outside the bands stand as written; modes in capitals",
         "QSO: 14351 FT8 2026-03-07 1200 ME 1 K1A 2\nQSO: 14351 DG 2026-03-07 1200 ME 1 K1A "
         "2\nQSO: 1800 cw 2026-03-07 1200 ME 1 A1 "
         "2\n",
         {{1, "K1A", "14351", "FT8", "2"},
          {2, "K1A", "14351", "DIGI", "2"},
          {3, "A1", "1.8", "CW", "2"}},
         {},
         {1}}, // one warning for the band no contest has
        {"VHF band codes in any case and kHz from 50 MHz up",
         "QSO: 50 PH 2026-03-07 1200 ME 59 K1A 59\nQSO: 1.2g CW 2026-03-07 1200 ME 5 K1A 5\nQSO: "
         "50125 CW 2026-03-07 1200 ME 5 K1A 5\n"
         "QSO: 123G CW 2026-03-07 1200 ME 5 K1A 5\nQSO: light CW 2026-03-07 1200 ME 5 K1A 5\nQSO: "
         "144300 FM 2026-03-07 1200 ME 5 K1A "
         "5\n"
         "QSO: 60000 CW 2026-03-07 1200 ME 5 K1A 5\n",
         {{1, "K1A", "50", "SSB", "59"},
          {2, "K1A", "1.2G", "CW", "5"},
          {3, "K1A", "50", "CW", "5"},
          {4, "K1A", "122G", "CW", "5"},
          {5, "K1A", "LIGHT", "CW", "5"},
          {6, "K1A", "144", "FM", "5"},
          {7, "K1A", "60000", "CW", "5"}},
         {},
         {7}},
        {"lines end at CR LF, LF or CR",
         "QSO: 14000 CW 2026-03-07 1200 ME 1 A1 2\rQSO: 14000 CW 2026-03-07 1200 ME 1 B1 "
         "2\r\n\nQSO: 14000 CW 2026-03-07 1200 ME 1 C1 "
         "2",
         {{1, "A1", "14", "CW", "2"}, {2, "B1", "14", "CW", "2"}, {4, "C1", "14", "CW", "2"}},
         {}},
        {"tag in small letters; X-QSO and unknown tags passed over",
         "qso: 14000 CW 2026-03-07 1200 ME 1 A1 2\nX-QSO: 14000 CW 2026-03-07 1200 ME 1 B1 "
         "2\nCLUB: x\n",
         {{1, "A1", "14", "CW", "2"}},
         {}},
        {"malformed lines are reported, the others still read",
         "QSO: 14000 CW d t\nQSO: 14000 CW 2026-03-07 1200 ME A1\nQSO:14000 CW 2026-03-07 1200 ME "
         "1 A1 2\nstray text\n" +
             Q1 + "\nQSO: 14000 CW 2026-03-07 1200 ME 1 A1 2 1\n",
         {{5, "SM5AAA", "14", "CW", "599 AN"}, {6, "A1", "14", "CW", "2"}},
         {1, 2, 3, 4}},
        {"empty text", "", {}, {}},
        {"only blank lines", "\n \n\t\r\n", {}, {}},
        // An odd count whose last token is no transmitter id: a token is
        // missing, and no field may take its neighbour's token.
        {"a token missing from the sent exchange",
         "QSO: 7005 CW 2009-05-30 0002 AA1ZZZ 599 CT 001 S50A 599 004\n"
         "QSO: 7005 CW 2009-05-30 0002 AA1ZZZ 599 CT S50A 599 004 2\n",
         {},
         {1, 2}},
        {"the call's place holds no call; a call in small letters is one",
         "QSO: 7005 CW 2026-03-07 1200 AA1ZZZ 599 CT 599 S50A 004\nQSO: 7005 CW 2026-03-07 1200 "
         "AA1ZZZ 599 s50a 599\n"
         "QSO: 7005 CW 2026-03-07 1200 AA1ZZZ 599 S5-0A 599\nQSO: 7005 CW 2026-03-07 1200 AA1ZZZ "
         "599 S50A/P 599\n"
         "QSO: 7005 CW 2026-03-07 1200 AA1ZZZ 599 9999 599\n",
         {{2, "S50A", "7", "CW", "599"}, {4, "S50A/P", "7", "CW", "599"}},
         {1, 3, 5}},
        {"no-break spaces where blanks belong, in Latin-1 and in UTF-8",
         "QSO:\xA0"
         "14000 CW 2026-03-07 1200 ME 1\xA0\xA0K1A 2\nQSO:\xC2\xA0"
         "14000\tCW 2026-03-07 1200 ME 1 K1B 2\n",
         {{1, "K1A", "14", "CW", "2"}, {2, "K1B", "14", "CW", "2"}},
         {}},
        {"an A0 byte inside a UTF-8 character stays in its token",
         "QSO: 14000 CW 2026-03-07 1200 ME 1 K1A V\xC3\xA0"
         "CLAV\n",
         {{1, "K1A", "14", "CW",
           "V\xC3\xA0"
           "CLAV"}},
         {}},
        {"a QSO line wrapped onto two lines: both parts reported, the next QSO kept",
         "QSO: 14000 CW 2026-03-07 1200 AA1ZZZ 599 CT 001\nS50A 599 004\n"
         "QSO: 14000 CW 2026-03-07 1200 AA1ZZZ 599 CT 002\nUA3A 599 TULA\n"
         "QSO: 14000 CW 2026-03-07 1200 AA1ZZZ 599 CT CT3A 599 007\n",
         {{5, "CT3A", "14", "CW", "599 007"}},
         {1, 2, 3, 4}},
        {"END-OF-LOG: ends the log; one warning for what follows",
         Q1 + "\nEND-OF-LOG:\nQSO: 7000 CW 2026-03-07 1200 ME 1 K1A 2\n\nThanks for the "
              "contest!\n73\n",
         {{1, "SM5AAA", "14", "CW", "599 AN"}},
         {},
         {3}},
        {"lines beginning with # are comments",
         "# written by hand\nSTART-OF-LOG: 3.0\n  #QSO: 14000 CW 2026-03-07 1200 ME 1 K1A 2\n" +
             Q1 + "\n",
         {{4, "SM5AAA", "14", "CW", "599 AN"}},
         {}},
        {"Cabrillo 2.0",
         "START-OF-LOG: 2.0\nARRL-SECTION: CT\nCATEGORY: SINGLE-OP ALL LOW\n"
         "QSO:  3799 PH 1999-03-06 0711 HC8N          59  700    W1AW          59  CT     0\n"
         "END-OF-LOG:\n",
         {{4, "W1AW", "3.5", "SSB", "59 CT"}},
         {}},
        {"dates and times that do not exist are read as no QSO",
         "QSO: 14000 CW 2026/03/07 1200 ME 1 K1A 2\nQSO: 14000 CW 2026-02-29 1200 ME 1 K1A 2\n"
         "QSO: 14000 CW 2024-02-29 2359 ME 1 K1A 2\nQSO: 14000 CW 2026-03-07 2400 ME 1 K1A 2\n"
         "QSO: 14000 CW 2026-03-07 1260 ME 1 K1A 2\nQSO: 14000 CW 2026-03-07 12:00 ME 1 K1A 2\n",
         {{3, "K1A", "14", "CW", "2"}},
         {1, 2, 4, 5, 6}},
    };
    for (const Example& E : Examples)
        Expect(E, ReadCabrillo(E.Text));
}

// One warning for each band and mode the readers do not know, at its first
// QSO, with the count of its QSOs; X-QSO lines are not scored and not counted.
TEST(LogFormats, UnknownBandsAndModesWarnedOnce) {
    const TLogRead Cab = ReadCabrillo(
        "QSO: 14000 CW 2026-03-07 1200 ME 1 K1A 2\nQSO: 5357 XX 2026-03-07 1200 ME 1 K1A 2\n"
        "QSO: 5357 xx 2026-03-07 1200 ME 1 K1B 2\nX-QSO: 5360 YY 2026-03-07 1200 ME 1 K1C 2\n"
        "QSO: 5357 CW 2026-03-07 1200 ME 1 K1C 2\nEND-OF-LOG:\nbye\n");
    std::vector<std::string> Got;
    for (const TLogProblem& W : Cab.Warnings)
        Got.push_back(std::to_string(W.Line) + ": " + W.Message);
    EXPECT_EQ(Got, (std::vector<std::string>{
                       "2: band \"5357\" is no contest band: scored as written, 0 points; 3 QSOs "
                       "carry it",
                       "2: mode \"XX\" is no known mode: scored as written; 2 QSOs carry it",
                       "7: 1 line after END-OF-LOG: passed over; the log ends there"}));
    const TLogRead Adi = ReadAdif("<CALL:3>K1A<BAND:3>60m<MODE:3>abc<EOR>\n"
                                  "<CALL:3>K1A<BAND:3>20m<MODE:3>ABC<EOR>\n");
    ASSERT_EQ(Adi.Warnings.size(), 2u);
    EXPECT_EQ(Adi.Warnings[1].Message,
              "mode \"ABC\" is no known mode: scored as written; 2 QSOs carry it");
}

TEST(Cabrillo, XQsoLinesFollowTheSameTokenRules) {
    const TLogRead Read =
        ReadCabrillo("X-QSO: 7005 CW 2026-03-07 1200 AA1ZZZ 599 CT 001 S50A 599 004\n"
                     "X-QSO: 7005 CW 2026-03-07 1200 AA1ZZZ 599 CT S50A 599 004 1\n");
    ASSERT_EQ(Read.XQSOs.size(), 1u);
    EXPECT_EQ(Read.XQSOs[0].Call, "S50A");
    ASSERT_EQ(Read.Problems.size(), 1u);
    EXPECT_EQ(Read.Problems[0].Line, 1u);
}

TEST(Cabrillo, GivenExchangeTokens) {
    const std::string Text =
        "QSO: 14000 CW 2026-03-07 1200 ME 599 KA A1 599 AN\n"      // 2 each way
        "QSO: 14000 CW 2026-03-07 1200 ME 599 KA B1 599 AN 1\n"    // and a transmitter
        "QSO: 14000 CW 2026-03-07 1200 ME 599 C1 599\n"            // 1 each way
        "QSO: 14000 CW 2026-03-07 1200 ME 599 KA 1 D1 599 AN 2\n"  // 3 each way
        "QSO: 14000 CW 2026-03-07 1200 ME 599 KA 001 E1 599 AN\n"; // 7 tokens
    const Example Two{"two tokens",
                      Text,
                      {{1, "A1", "14", "CW", "599 AN"}, {2, "B1", "14", "CW", "599 AN"}},
                      {3, 4, 5}};
    Expect(Two, ReadCabrillo(Text, {2, 2, true}));
    const Example Three{"three tokens", Text, {{4, "D1", "14", "CW", "599 AN 2"}}, {1, 2, 3, 5}};
    Expect(Three, ReadCabrillo(Text, {3, 3, true}));
    const Example Count{"from the count",
                        Text,
                        {{1, "A1", "14", "CW", "599 AN"},
                         {2, "B1", "14", "CW", "599 AN"},
                         {3, "C1", "14", "CW", "599"},
                         {4, "D1", "14", "CW", "599 AN 2"}},
                        {5}};
    Expect(Count, ReadCabrillo(Text, {}));
}

// A contest whose exchanges differ in length: three tokens sent, two received.
// Lines that fit are read so, a transmitter id after them or not; the others
// from their own count.
TEST(Cabrillo, LayoutOfAContest) {
    const TLogRead Read = ReadCabrillo("QSO: 14000 CW 2026-03-07 1200 ME 599 KA 001 E1 599 AN\n"
                                       "QSO: 14000 CW 2026-03-07 1200 ME 599 KA 002 F1 599 CE 1\n"
                                       "QSO: 14000 CW 2026-03-07 1200 ME 599 KA G1 599 DA\n",
                                       {3, 2, false});
    ASSERT_EQ(Read.QSOs.size(), 3u);
    const std::pair<const char*, const char*> Want[] = {
        {"599 KA 001", "599 AN"}, {"599 KA 002", "599 CE"}, {"599 KA", "599 DA"}};
    for (std::size_t I = 0; I < 3; ++I) {
        EXPECT_EQ(Read.QSOs[I].Sent, Want[I].first);
        EXPECT_EQ(Read.QSOs[I].Exchange, Want[I].second);
    }
    EXPECT_EQ(Read.QSOs[1].Call, "F1");
}

// A contest's layout places the call: a line that fits it is read so, the
// call whatever it looks like; a line with tokens to spare (a points column)
// too when its call's place holds a call; any other from its own count.
TEST(Cabrillo, LayoutPlacesTheCall) {
    struct Case {
        TQsoLayout Layout;
        Example E;
    };
    const Case Cases[] = {
        {{2, 2, false},
         {"a busted call without a digit, one in small letters, one with a hyphen",
          "QSO: 14000 CW 2026-03-07 1200 sm0xyz 599 KA HAGQLF 599 AN\n"
          "QSO: 14000 CW 2026-03-07 1200 SM0XYZ 599 KA ha6qlf 599 AN 1\n"
          "QSO: 14000 CW 2026-03-07 1200 SM0XYZ 599 KA HA6-LF 599 AN\n"
          "QSO: 14000 CW 2026-03-07 1200 SM0XYZ 599 KA HAGQLF 599 AN 3\n",
          {{1, "HAGQLF", "14", "CW", "599 AN"},
           {2, "HA6QLF", "14", "CW", "599 AN"},
           {3, "HA6-LF", "14", "CW", "599 AN"},
           {4, "HAGQLF", "14", "CW", "599 AN"}},
          {},
          {1, 3, 4, 4}}},
        {{2, 2, false},
         {"a points column: read, one warning at its first line",
          "QSO: 14000 CW 2026-03-07 1200 ME 599 KA K1A 599 AN 0\nQSO: 14000 CW 2026-03-07 1200 ME "
          "599 KA K1B 599 AN 3\n"
          "QSO: 14000 CW 2026-03-07 1200 ME 599 KA K1C 599 AN 1 2\n",
          {{1, "K1A", "14", "CW", "599 AN"},
           {2, "K1B", "14", "CW", "599 AN"},
           {3, "K1C", "14", "CW", "599 AN"}},
          {},
          {2}}},
        {{2, 2, false},
         {"more tokens but no call in its place: the line's own count, else reported",
          "QSO: 14000 CW 2026-03-07 1200 ME 599 KA 001 K1A 599 AN 002\n"
          "QSO: 14000 CW 2026-03-07 1200 ME 599 KA 001 K1A 599 AN\n"
          "QSO: 14000 CW 2026-03-07 1200 ME 599 001 5 K1A 599 002\n"
          "QSO: 14000 CW 2026-03-07 1200 ME 599 KA AN K1A 599 BO\n",
          {{1, "K1A", "14", "CW", "599 AN 002"}},
          {2, 3, 4}}},
        {{2, 2, false},
         {"fewer tokens: the line's own count, a call in its place",
          "QSO: 14000 CW 2026-03-07 1200 ME 599 K1A 599\nQSO: 14000 CW 2026-03-07 1200 ME 599 CT "
          "599\n",
          {{1, "K1A", "14", "CW", "599"}},
          {2}}},
        {{2, 2, true},
         {"strict: a points column still read, any other count reported",
          "QSO: 14000 CW 2026-03-07 1200 ME 599 KA K1A 599 AN 3\nQSO: 14000 CW 2026-03-07 1200 ME "
          "599 K1A 599\n"
          "QSO: 14000 CW 2026-03-07 1200 ME 599 KA 1 D1 599 AN 2\n",
          {{1, "K1A", "14", "CW", "599 AN"}},
          {2, 3},
          {1}}},
        {{3, 2, false},
         {"exchanges of different lengths; X-QSO lines alike",
          "QSO: 14000 CW 2026-03-07 1200 ME 599 KA 001 ab1cd 599 AN\n"
          "X-QSO: 14000 CW 2026-03-07 1200 ME 599 KA 002 599 599 AN\n",
          {{1, "AB1CD", "14", "CW", "599 AN"}},
          {},
          {2}}},
    };
    for (const Case& C : Cases)
        Expect(C.E, ReadCabrillo(C.E.Text, C.Layout));
    const TLogRead Points = ReadCabrillo(Cases[1].E.Text, Cases[1].Layout);
    ASSERT_EQ(Points.Warnings.size(), 1u);
    EXPECT_EQ(Points.Warnings[0].Message,
              "tokens after the received exchange (a points column?) passed over; 2 QSO lines "
              "carry them");
    const TLogRead Busted = ReadCabrillo(Cases[0].E.Text, Cases[0].Layout);
    ASSERT_EQ(Busted.Warnings.size(), 4u);
    EXPECT_EQ(Busted.Warnings[0].Message,
              "\"HAGQLF\" stands where the call belongs and has no digit: read as the call, as "
              "the contest's exchanges place it");
    EXPECT_EQ(Busted.QSOs[0].MyCall, "SM0XYZ");
}

std::string F(const char* Name, std::string_view Value) {
    return "<" + std::string(Name) + ":" + std::to_string(Value.size()) + ">" + std::string(Value);
}

TEST(Adif, Examples) {
    const Example Examples[] = {
        {"header, then records; names in any case",
         "made-up\n<ADIF_VER:5>3.1.4\n<EOH>\n<call:4>SM5A<Band:3>20m<MODE:2>CW<SRX_STRING:6>599 "
         "AB<eor>\n",
         {{4, "SM5A", "14", "CW", "599 AB"}},
         {}},
        {"no header when the text begins with <",
         F("CALL", "A") + F("BAND", "40M") + F("MODE", "SSB") + F("RST_RCVD", "59") +
             F("SRX", "CD") + "<EOR>",
         {{1, "A", "7", "SSB", "59 CD"}},
         {}},
        {"a blank line before the first record, no header",
         "\n" + F("CALL", "A") + F("BAND", "6m") + F("MODE", "FM") + "<EOR>",
         {{2, "A", "50", "FM", ""}},
         {}},
        {"lengths honoured byte for byte: data holding < > and line ends",
         "<EOH>" + F("CALL", "A<B>") + F("BAND", "20m") + F("MODE", "CW") +
             F("SRX_STRING", "59\r\nAB") + "<EOR>\n" + F("CALL", "Z") + F("BAND", "20m") +
             F("MODE", "CW") + "<EOR>",
         {{1, "A<B>", "14", "CW", "59\r\nAB"}, {3, "Z", "14", "CW", ""}},
         {}},
        {"band from FREQ in MHz when BAND is missing; a data type after the length",
         F("CALL", "A") + "<FREQ:6:N>14.025" + F("MODE", "CW") + "<EOR>" + F("CALL", "B") +
             F("FREQ", "50.1") + F("MODE", "CW") + "<EOR>",
         {{1, "A", "14", "CW", ""}, {1, "B", "50", "CW", ""}},
         {}},
        {"SRX_STRING before RST_RCVD and SRX; an empty one does not count; only SRX",
         F("CALL", "A") + F("BAND", "20m") + F("MODE", "CW") + F("RST_RCVD", "599") +
             F("SRX_STRING", "XY") + "<EOR>\n" + F("CALL", "B") + F("BAND", "20m") +
             F("MODE", "CW") + F("SRX_STRING", "") + F("RST_RCVD", "599") + F("SRX", "7") +
             "<EOR>\n" + F("CALL", "C") + F("BAND", "20m") + F("MODE", "CW") + F("SRX", "EF") +
             "<EOR>",
         {{1, "A", "14", "CW", "XY"}, {2, "B", "14", "CW", "599 7"}, {3, "C", "14", "CW", "EF"}},
         {}},
        {"the first of two fields of one name; BAND over FREQ",
         F("CALL", "A") + F("CALL", "B") + F("FREQ", "7.01") + F("BAND", "20M") + F("MODE", "CW") +
             "<EOR>",
         {{1, "A", "14", "CW", ""}},
         {}},
        {"records lacking CALL, band or MODE are reported, the others read",
         F("BAND", "20m") + F("MODE", "CW") + "<EOR>\n" + F("CALL", "A") + F("MODE", "CW") +
             "<EOR>\n" + F("CALL", "B") + F("BAND", "20m") + "<EOR>\n" + F("CALL", "C") +
             F("BAND", "20m") + F("MODE", "CW") + "<EOR>\n",
         {{4, "C", "14", "CW", ""}},
         {1, 2, 3}},
        {"malformed tags",
         F("CALL", "A") + "<BAND:x>20m<:3>abc<FOO>" + F("BAND", "20m") + F("MODE", "CW") +
             "<EOR>\n<EOR>\n<MODE:99>CW",
         {{1, "A", "14", "CW", ""}},
         {1, 1, 1, 2, 3}},
        {"a record cut off at the end; a tag without >",
         F("CALL", "A") + F("BAND", "20m") + F("MODE", "CW") + "\n<EOR",
         {},
         {1, 2}},
        {"empty text", "", {}, {}},
        {"header only", "just a header <EOH>", {}, {}},
        {"an empty field is an absent one: BAND falls back to FREQ",
         F("CALL", "K1A") + F("BAND", "") + F("FREQ", "7.025") + F("MODE", "CW") + "<EOR>\n" +
             F("CALL", "") + F("BAND", "20m") + F("MODE", "CW") + "<EOR>\n" + F("CALL", "K1B") +
             F("BAND", "20m") + F("MODE", "") + "<EOR>\n" + F("CALL", "K1C") + F("CALL", "K1D") +
             F("BAND", "20m") + F("MODE", "CW") + "<EOR>\n" + F("CALL", " ") + F("BAND", "20m") +
             F("MODE", "CW") + "<EOR>\n",
         {{1, "K1A", "7", "CW", ""}, {4, "K1C", "14", "CW", ""}},
         {2, 3, 5}},
        {"values trimmed of blanks and line ends",
         "<EOH>\n<CALL:5>K1A\r\n<BAND:4>20m\n<MODE:3> cw<SRX_STRING:6>\t599 5\n<EOR>\n",
         {{2, "K1A", "14", "CW", "599 5"}},
         {}},
        {"band and mode in any case; FREQ with a decimal comma or in kHz",
         F("CALL", "K1A") + F("BAND", "2M") + F("MODE", "fm") + "<EOR>\n" + F("CALL", "K1A") +
             F("BAND", "2m") + F("MODE", "FM") + "<EOR>\n" + F("CALL", "K1A") +
             F("FREQ", "14,062") + F("MODE", "Cw") + "<EOR>\n" + F("CALL", "K1A") +
             F("FREQ", "50125") + F("MODE", "CW") + "<EOR>\n" + F("CALL", "K1A") +
             F("BAND", "70CM") + F("MODE", "SSB") + "<EOR>\n",
         {{1, "K1A", "144", "FM", ""},
          {2, "K1A", "144", "FM", ""},
          {3, "K1A", "14", "CW", ""},
          {4, "K1A", "50", "CW", ""},
          {5, "K1A", "432", "SSB", ""}},
         {}},
        {"a BAND the reader does not know gives way to FREQ, else stands",
         F("CALL", "K1A") + F("BAND", "20 m") + F("FREQ", "14.1") + F("MODE", "CW") + "<EOR>" +
             F("CALL", "K1A") + F("BAND", "60m") + F("FREQ", "5.3") + F("MODE", "CW") + "<EOR>",
         {{1, "K1A", "14", "CW", ""}, {1, "K1A", "60m", "CW", ""}},
         {},
         {1}},
        {"a header that begins with <, a trailing <EOF>",
         "<ADIF_VER:5>3.1.4 <PROGRAMID:4>Test\n<EOH>\n" + F("CALL", "K1A") + F("BAND", "20m") +
             F("MODE", "CW") + "<EOR>\n<EOF>\n",
         {{3, "K1A", "14", "CW", ""}},
         {}},
        {"calls in small letters read in capitals",
         F("call", "sm5a") + F("BAND", "20m") + F("MODE", "CW") + F("STATION_CALLSIGN", "dl1x") +
             "<EOR>",
         {{1, "SM5A", "14", "CW", ""}},
         {}},
        {"<EOH> after a record is out of place",
         F("CALL", "K1A") + F("BAND", "20m") + F("MODE", "CW") + "<EOR>\n<EOH>\n",
         {{1, "K1A", "14", "CW", ""}},
         {2}},
        {"dates and times that do not exist are read as no QSO; none given is no fault",
         F("CALL", "K1A") + F("BAND", "20m") + F("MODE", "CW") + F("QSO_DATE", "20260230") +
             "<EOR>\n" + F("CALL", "K1A") + F("BAND", "20m") + F("MODE", "CW") +
             F("QSO_DATE", "2026-03-07") + "<EOR>\n" + F("CALL", "K1A") + F("BAND", "20m") +
             F("MODE", "CW") + F("TIME_ON", "2500") + "<EOR>\n" + F("CALL", "K1A") +
             F("BAND", "20m") + F("MODE", "CW") + F("TIME_ON", "120060") + "<EOR>\n" +
             F("CALL", "K1B") + F("BAND", "20m") + F("MODE", "CW") + F("QSO_DATE", "20240229") +
             F("TIME_ON", "235959") + "<EOR>\n" + F("CALL", "K1C") + F("BAND", "20m") +
             F("MODE", "CW") + "<EOR>\n",
         {{5, "K1B", "14", "CW", ""}, {6, "K1C", "14", "CW", ""}},
         {1, 2, 3, 4}},
    };
    for (const Example& E : Examples)
        Expect(E, ReadAdif(E.Text));
}

TEST(CsvLog, Examples) {
    const Example Examples[] = {
        {"the bundled format",
         "# CallSign;DigiBand;QSOMode;QSOReportRecived\nSM5A;14;CW;599 AN\n\nOH2B; 7;SSB;\r\n",
         {{2, "SM5A", "14", "CW", "599 AN"}, {4, "OH2B", " 7", "SSB", ""}},
         {}},
        {"wrong field counts reported",
         "A;14;CW\nB;14;CW;59;x\nC;14;CW;59 AB\n",
         {{3, "C", "14", "CW", "59 AB"}},
         {1, 2}},
    };
    for (const Example& E : Examples)
        Expect(E, ReadCsvLog(E.Text));
}

} // namespace
} // namespace brevlund::logformats

namespace brevlund::logformats {
namespace {

// What the cross-check and the charts read beyond the four scoring texts.
TEST(LogDetails, DatesTimesCallsAndHeaders) {
    const TLogRead Cab =
        ReadCabrillo("START-OF-LOG: 3.0\r\nCALLSIGN:  SM5AAA \r\n"
                     "QSO: 14025 CW 2026-03-07 1402 SM5AAA 599 AB DL1CCC 599 CD\r\n"
                     "X-QSO: 7025 CW 2026-03-07 2359 SM5AAA 599 AB DL1DDD 599 EF\r\n"
                     "END-OF-LOG:\r\n");
    ASSERT_EQ(Cab.QSOs.size(), 1u);
    ASSERT_EQ(Cab.XQSOs.size(), 1u);
    const TLogQSO& Q = Cab.QSOs[0];
    EXPECT_EQ(std::make_tuple(Q.Frequency, Q.Date, Q.Time, Q.MyCall, Q.Sent),
              std::make_tuple("14025", "2026-03-07", "1402", "SM5AAA", "599 AB"));
    EXPECT_EQ(Cab.XQSOs[0].Call, "DL1DDD");
    EXPECT_EQ(Cab.XQSOs[0].Line, 4u);
    EXPECT_EQ(Cab.HeaderValue("CALLSIGN"), "SM5AAA");
    EXPECT_EQ(Cab.HeaderValue("CONTEST"), "");

    const TLogRead Adi = ReadAdif("<CALL:6>DL1CCC<BAND:3>20m<MODE:2>CW<QSO_DATE:8>20260307"
                                  "<TIME_ON:6>140259<STATION_CALLSIGN:6>SM5AAA<RST_SENT:3>599"
                                  "<STX:2>12<FREQ:6>14.025<EOR>");
    ASSERT_EQ(Adi.QSOs.size(), 1u);
    const TLogQSO& A = Adi.QSOs[0];
    EXPECT_EQ(std::make_tuple(A.Frequency, A.Date, A.Time, A.MyCall, A.Sent),
              std::make_tuple("14.025", "2026-03-07", "1402", "SM5AAA", "599 12"));
}

// A byte-order mark decides: UTF-8 and UTF-16 of either end become Latin-1,
// "?" for what Latin-1 has not (and for bytes that are no such text), the
// first such line told; without a mark the bytes stay as they are.
TEST(LogText, DecodedToSingleBytes) {
    struct Case {
        std::string Bytes, Text;
        const char* Encoding;
        std::size_t Replaced;
    };
    using namespace std::string_literals;
    const Case Cases[] = {
        {"QSO: 1\xE9\xFF\xFE", "QSO: 1\xE9\xFF\xFE", nullptr, 0},
        {"\xEF\xBB\xBF"
         "A\xC3\xA9\r\nB\xE2\x82\xAC\xC2\xA0",
         "A\xE9\r\nB?\xA0", "UTF-8", 2},
        // A lead byte alone, an overlong form, a surrogate, beyond U+10FFFF, cut off.
        {"\xEF\xBB\xBF\x80x\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xC3", "?x?????", "UTF-8", 1},
        {"\xFF\xFE"
         "A\0\xE9\0\n\0\x3D\xD8\x00\xDE\x00\xDC"
         "B"s,
         "A\xE9\n???", "UTF-16LE", 2},
        {"\xFE\xFF\0Q\0S\0\xA0\x20\xAC"s, "QS\xA0?", "UTF-16BE", 1},
        {"\xFF\xFE", "", "UTF-16LE", 0},
    };
    for (const Case& C : Cases) {
        const cli::TLogText Got = cli::DecodeLogText(C.Bytes);
        EXPECT_EQ(Got.Text, C.Text) << C.Bytes;
        EXPECT_STREQ(Got.Encoding, C.Encoding) << C.Bytes;
        EXPECT_EQ(Got.Replaced, C.Replaced) << C.Bytes;
    }

    using cli::TLogFormat;
    const std::pair<std::string, std::optional<TLogFormat>> Contents[] = {
        {"START-OF-LOG: 3.0\nSOAPBOX: <EOR> was here\n", TLogFormat::Cabrillo},
        {"  qso: 14000 CW 2026-03-07 1200 ME 1 K1A 2\n", TLogFormat::Cabrillo},
        {"made by hand <eoh>", TLogFormat::Adif},
        {"<call:4>K1AB<BAND:3>20m<EOR>", TLogFormat::Adif},
        {"AN=AN\nBO=BO\n", std::nullopt},
        {"{\"contest\": \"QSO: party\"}", std::nullopt},
        {"", std::nullopt},
        {"QSO: 14000 CW\0\x01\x02"s, std::nullopt},
        {"Q\0S\0O\0:\0 \0001\0\n\0"s, std::nullopt}, // UTF-16 without its mark
    };
    for (const auto& [Text, Format] : Contents)
        EXPECT_EQ(cli::FormatOfText(Text), Format) << Text;
}

// On pages and in JSON: a text that is UTF-8 through and through stays as it
// is; any other is Latin-1, byte by byte, and one stray byte decides.
TEST(LogText, ShownInUtf8) {
    const std::pair<const char*, const char*> Cases[] = {
        {"SM5ABC", "SM5ABC"},
        {"V\xE4rk", "V\xC3\xA4rk"},
        {"V\xC3\xA4rk \xE2\x82\xAC \xF0\x9F\x93\xBB", "V\xC3\xA4rk \xE2\x82\xAC \xF0\x9F\x93\xBB"},
        {"\xC3\xA4\xE4", "\xC3\x83\xC2\xA4\xC3\xA4"},
        {"\xC0\x80", "\xC3\x80\xC2\x80"},             // an overlong form
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"}, // a surrogate
        {"A\xE2\x82", "A\xC3\xA2\xC2\x82"},           // cut off
    };
    for (const auto& [Text, Shown] : Cases)
        EXPECT_EQ(cli::LogTextToUtf8(Text), Shown) << Text;
}

TEST(LogDetails, MinuteOfDateAndTime) {
    struct Case {
        const char* Date;
        const char* Time;
        std::optional<std::int64_t> Minute;
    };
    const Case Cases[] = {
        {"1970-01-01", "0000", 0},
        {"1970-01-01", "2359", 1439},
        {"1970-01-02", "0000", 1440},
        {"2026-03-07", "1402", 29548202},
        {"2024-02-29", "0000", 28486080},
        {"2026-02-29", "0000", std::nullopt},
        {"2000-02-29", "0000", 15863040},
        {"2026-13-01", "0000", std::nullopt},
        {"2026-03-07", "2400", std::nullopt},
        {"2026-03-07", "1260", std::nullopt},
        {"2026-03-07", "140", std::nullopt},
        {"20260307", "1402", std::nullopt},
        {"", "", std::nullopt},
    };
    for (const Case& C : Cases) {
        TLogQSO Q;
        Q.Date = C.Date;
        Q.Time = C.Time;
        EXPECT_EQ(MinuteOf(Q), C.Minute) << C.Date << " " << C.Time;
    }
}

} // namespace
} // namespace brevlund::logformats
