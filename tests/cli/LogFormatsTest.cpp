// The log readers, one table of examples per format.
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
        {"3500", "3.5", std::nullopt},
        {"4000", "3.5", std::nullopt},
        {"7300", "7", std::nullopt},
        {"7300.5", std::nullopt, std::nullopt},
        {"10100", "10", std::nullopt},
        {"10150", "10", std::nullopt},
        {"10151", std::nullopt, std::nullopt},
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
        {"50", std::nullopt, std::nullopt},
        {"99999999999999999999999", std::nullopt, std::nullopt},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(BandOfKHz(C.Text), C.KHz) << C.Text << " kHz";
        EXPECT_EQ(BandOfMHz(C.Text), C.MHz) << C.Text << " MHz";
    }

    const std::pair<const char*, std::optional<std::string_view>> Names[] = {
        {"160m", "1.8"}, {"80M", "3.5"}, {"40m", "7"},  {"30m", "10"}, {"20m", "14"},
        {"17m", "18"},   {"15M", "21"},  {"12m", "24"}, {"10m", "28"}, {"6m", {}},
        {"20", {}},      {"20m ", {}},   {"2m", {}},    {"", {}},      {"1.25m", std::nullopt}};
    for (const auto& [Name, Label] : Names)
        EXPECT_EQ(BandOfAdifName(Name), Label) << Name;

    EXPECT_EQ(CabrilloMode("CW"), "CW");
    EXPECT_EQ(CabrilloMode("PH"), "SSB");
    EXPECT_EQ(CabrilloMode("ph"), "SSB");
    EXPECT_EQ(CabrilloMode("RY"), "RTTY");
    EXPECT_EQ(CabrilloMode("DG"), "DIGI");
    EXPECT_EQ(CabrilloMode("FM"), "FM");
    EXPECT_EQ(CabrilloMode("FT8"), "FT8");
    EXPECT_EQ(CabrilloMode("SSB"), "SSB");
}

TEST(Cabrillo, Examples) {
    const std::string Q1 = "QSO: 14012 CW 2026-03-07 1200 SM0XYZ 599 KA SM5AAA 599 AN";
    const Example Examples[] = {
        {"one QSO among header lines",
         "START-OF-LOG: 3.0\nCALLSIGN: SM0XYZ\n" + Q1 + "\nEND-OF-LOG:\n",
         {{3, "SM5AAA", "14", "CW", "599 AN"}},
         {}},
        {"transmitter id: an odd count drops the last token",
         Q1 + " 1\n",
         {{1, "SM5AAA", "14", "CW", "599 AN"}},
         {}},
        {"one token each way",
         "QSO: 7012 PH 2026-03-07 1200 SM0XYZ KA f5eee an\n",
         {{1, "f5eee", "7", "SSB", "an"}},
         {}},
        {"three tokens each way, blanks and tabs between",
         "QSO:\t3520  RY 2026-03-07 1200 SM0XYZ 599 12 KA  OH2B   599\t7 BO\r\n",
         {{1, "OH2B", "3.5", "RTTY", "599 7 BO"}},
         {}},
        {"frequencies outside the bands and other modes stand as written",
         "QSO: 50 FT8 d t ME 1 YOU 2\nQSO: 14351 DG d t ME 1 YOU 2\nQSO: 1800 cw d t ME 1 A 2\n",
         {{1, "YOU", "50", "FT8", "2"},
          {2, "YOU", "14351", "DIGI", "2"},
          {3, "A", "1.8", "CW", "2"}},
         {}},
        {"lines end at CR LF, LF or CR",
         "QSO: 14000 CW d t ME 1 A 2\rQSO: 14000 CW d t ME 1 B 2\r\n\nQSO: 14000 CW d t ME 1 C 2",
         {{1, "A", "14", "CW", "2"}, {2, "B", "14", "CW", "2"}, {4, "C", "14", "CW", "2"}},
         {}},
        {"tag in small letters; X-QSO and unknown tags passed over",
         "qso: 14000 CW d t ME 1 A 2\nX-QSO: 14000 CW d t ME 1 B 2\nCLUB: x\n",
         {{1, "A", "14", "CW", "2"}},
         {}},
        {"malformed lines are reported, the others still read",
         "QSO: 14000 CW d t\nQSO: 14000 CW d t ME A\nQSO:14000 CW d t ME 1 A 2\nstray text\n" + Q1 +
             "\nQSO: 14000 CW d t ME 1 A 2 3\n",
         {{5, "SM5AAA", "14", "CW", "599 AN"}, {6, "A", "14", "CW", "2"}},
         {1, 2, 3, 4}},
        {"empty text", "", {}, {}},
        {"only blank lines", "\n \n\t\r\n", {}, {}},
    };
    for (const Example& E : Examples)
        Expect(E, ReadCabrillo(E.Text));
}

TEST(Cabrillo, GivenExchangeTokens) {
    const std::string Text = "QSO: 14000 CW d t ME 599 KA A 599 AN\n"      // 2 each way
                             "QSO: 14000 CW d t ME 599 KA B 599 AN 1\n"    // and a transmitter
                             "QSO: 14000 CW d t ME 599 C 599\n"            // 1 each way, + tx
                             "QSO: 14000 CW d t ME 599 KA 1 D 599 AN 2\n"; // 3 each way
    const Example Two{"two tokens",
                      Text,
                      {{1, "A", "14", "CW", "599 AN"}, {2, "B", "14", "CW", "599 AN"}},
                      {3, 4}};
    Expect(Two, ReadCabrillo(Text, 2));
    const Example Three{"three tokens", Text, {{4, "D", "14", "CW", "599 AN 2"}}, {1, 2, 3}};
    Expect(Three, ReadCabrillo(Text, 3));
    // From the count, line 3 reads as one token each way and a transmitter.
    const Example Count{"from the count",
                        Text,
                        {{1, "A", "14", "CW", "599 AN"},
                         {2, "B", "14", "CW", "599 AN"},
                         {3, "C", "14", "CW", "599"},
                         {4, "D", "14", "CW", "599 AN 2"}},
                        {}};
    Expect(Count, ReadCabrillo(Text, 0));
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
         {{2, "A", "6m", "FM", ""}},
         {}},
        {"lengths honoured byte for byte: data holding < > and line ends",
         "<EOH>" + F("CALL", "A<B>") + F("BAND", "20m") + F("MODE", "CW") +
             F("SRX_STRING", "59\r\nAB") + "<EOR>\n" + F("CALL", "Z") + F("BAND", "20m") +
             F("MODE", "CW") + "<EOR>",
         {{1, "A<B>", "14", "CW", "59\r\nAB"}, {3, "Z", "14", "CW", ""}},
         {1}}, // a text that begins with "<" has no header: the <EOH> is out of place
        {"band from FREQ in MHz when BAND is missing; a data type after the length",
         F("CALL", "A") + "<FREQ:6:N>14.025" + F("MODE", "CW") + "<EOR>" + F("CALL", "B") +
             F("FREQ", "50.1") + F("MODE", "CW") + "<EOR>",
         {{1, "A", "14", "CW", ""}, {1, "B", "50.1", "CW", ""}},
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
    const TLogRead Cab = ReadCabrillo("START-OF-LOG: 3.0\r\nCALLSIGN:  SM5AAA \r\n"
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
