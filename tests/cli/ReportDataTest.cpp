// The report's data over time against a small model of its own: times through
// the C library's calendar, duplicates and areas by the contest's rules as an
// operator states them. Logs with known answers first, then random logs.
#include "ReportData.h"
#include "LogScore.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>
#include <random>
#include <set>
#include <tuple>

namespace brevlund {
namespace {

using cli::TReportData;

struct TQso {
    std::string Date, Time, Call, Band, Exchange, Mode = "CW";
};

const std::vector<std::string> AreaPool = {"AB", "CD", "EF", "GH"};

// A contest period as a definition writes it: "2026-03-07 1200".
using TPeriod = std::optional<std::pair<std::string, std::string>>;
TPeriod Within(const char* Start, const char* End) {
    return std::make_pair(std::string(Start), std::string(End));
}

// The model.
struct TModel {
    std::vector<std::string> Hours;                         // "2026-03-07T14:00Z"
    std::vector<std::map<std::string, std::int64_t>> Qsos;  // per hour: band, QSOs
    std::vector<std::int64_t> Changes, Points, Multipliers; // per hour; the last two running
    std::vector<std::tuple<std::string, std::string, std::string>> Mults; // time, band, area
    std::vector<std::string> OffTimes;                                    // "from to minutes"
    std::int64_t OnTime = 0;
    bool Timed = false;
    std::vector<std::size_t> Outside;              // log indexes, in time order
    std::map<std::string, std::int64_t> Modes;     // QSOs the summary counts
    std::vector<std::string> Best;                 // "minutes QSOs from" for 10 and 60
    std::map<std::string, std::int64_t> Elsewhere; // per band: counted, yet in no hour
};

std::optional<std::time_t> Seconds(const TQso& Q) {
    std::tm T{};
    char End;
    if (std::sscanf(Q.Date.c_str(), "%4d-%2d-%2d%c", &T.tm_year, &T.tm_mon, &T.tm_mday, &End) !=
            3 ||
        Q.Time.size() != 4 || std::sscanf(Q.Time.c_str(), "%2d%2d", &T.tm_hour, &T.tm_min) != 2 ||
        T.tm_hour > 23 || T.tm_min > 59)
        return std::nullopt;
    T.tm_year -= 1900;
    T.tm_mon -= 1;
    const std::tm Asked = T;
    const std::time_t S = timegm(&T);
    if (T.tm_mday != Asked.tm_mday || T.tm_mon != Asked.tm_mon) return std::nullopt; // Feb 30
    return S;
}

std::string Label(std::time_t S) {
    std::tm T{};
    gmtime_r(&S, &T);
    char Text[32];
    std::strftime(Text, sizeof Text, "%Y-%m-%dT%H:%MZ", &T);
    return Text;
}

std::int64_t BandPoints(const std::string& Band) {
    if (Band == "1.8" || Band == "3.5" || Band == "7") return 2;
    return Band == "14" || Band == "21" || Band == "28" ? 1 : 0;
}

std::string AreaOf(std::string Exchange) {
    for (char& C : Exchange)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    while (!Exchange.empty() && static_cast<unsigned char>(Exchange.back()) <= 32)
        Exchange.pop_back();
    if (Exchange.size() < 2) return {};
    const std::string Area = Exchange.substr(Exchange.size() - 2);
    for (const std::string& A : AreaPool)
        if (A == Area) return Area;
    return {};
}

std::time_t SecondsOf(const std::string& DateAndTime) {
    return *Seconds({DateAndTime.substr(0, 10), DateAndTime.substr(11), "", "", ""});
}

TModel Model(const std::vector<TQso>& Log, const TPeriod& Period = {}) {
    TModel M;
    std::set<std::tuple<std::string, std::string, std::string>> Worked;
    std::set<std::pair<std::string, std::string>> Keys;
    std::vector<bool> Duplicate;
    std::vector<std::string> Area(Log.size());
    for (std::size_t I = 0; I < Log.size(); ++I) {
        Duplicate.push_back(!Worked.insert({Log[I].Call, Log[I].Band, Log[I].Mode}).second);
        const std::string A = Duplicate.back() ? "" : AreaOf(Log[I].Exchange);
        if (!A.empty() && Keys.insert({Log[I].Band, A}).second) {
            Area[I] = A;
            const auto S = Seconds(Log[I]);
            M.Mults.emplace_back(S ? Label(*S) : "", Log[I].Band, A);
        }
    }
    for (std::size_t I = 0; I < Log.size(); ++I)
        if (!Duplicate[I]) ++M.Modes[Log[I].Mode];
    std::vector<std::pair<std::time_t, std::size_t>> Timed;
    for (std::size_t I = 0; I < Log.size(); ++I)
        if (const auto S = Seconds(Log[I]))
            Timed.emplace_back(*S, I);
        else if (!Duplicate[I])
            ++M.Elsewhere[Log[I].Band];
    if (Timed.empty()) return M;
    M.Timed = true;
    std::stable_sort(Timed.begin(), Timed.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    // Outside the contest: outside its period, else more than two days from
    // the median (the earlier middle one of an even count).
    const std::time_t Median = Timed[(Timed.size() - 1) / 2].first;
    std::vector<std::pair<std::time_t, std::size_t>> Inside;
    for (const auto& [S, I] : Timed) {
        const bool Far = Period ? S < SecondsOf(Period->first) || S > SecondsOf(Period->second)
                                : std::abs(S - Median) > 48 * 3600;
        if (!Far) {
            Inside.emplace_back(S, I);
            continue;
        }
        M.Outside.push_back(I);
        if (!Duplicate[I]) ++M.Elsewhere[Log[I].Band];
    }
    Timed = Inside;
    if (Timed.empty()) return M;
    // The best windows, each counted afresh from every QSO that could open it.
    for (const std::time_t Minutes : {10, 60}) {
        std::size_t Best = 0;
        std::time_t From = 0;
        for (const auto& [Start, I] : Timed) {
            if (Duplicate[I]) continue;
            std::size_t In = 0;
            for (const auto& [S, J] : Timed)
                In += !Duplicate[J] && S >= Start && S < Start + Minutes * 60;
            if (In > Best) std::tie(Best, From) = std::make_pair(In, Start);
        }
        M.Best.push_back(std::to_string(Minutes) + " " + std::to_string(Best) + " " +
                         (Best ? Label(From) : cli::TimeText(0)));
    }
    const std::time_t First = Timed.front().first / 3600 * 3600;
    for (std::time_t H = First; H <= Timed.back().first; H += 3600)
        M.Hours.push_back(Label(H));
    const std::size_t N = M.Hours.size();
    M.Qsos.resize(N);
    M.Changes.assign(N, 0);
    M.Points.assign(N, 0);
    M.Multipliers.assign(N, 0);
    std::int64_t Off = 0;
    for (std::size_t K = 0; K < Timed.size(); ++K) {
        const auto [S, I] = Timed[K];
        const std::size_t H = static_cast<std::size_t>((S - First) / 3600);
        if (K > 0) {
            const auto [Before, J] = Timed[K - 1];
            if (Log[J].Band != Log[I].Band) ++M.Changes[H];
            if (S - Before >= 3600) {
                M.OffTimes.push_back(Label(Before) + " " + Label(S) + " " +
                                     std::to_string((S - Before) / 60));
                Off += (S - Before) / 60;
            }
        }
        if (Duplicate[I]) continue;
        ++M.Qsos[H][Log[I].Band];
        for (std::size_t Later = H; Later < N; ++Later) {
            M.Points[Later] += BandPoints(Log[I].Band);
            M.Multipliers[Later] += !Area[I].empty();
        }
    }
    M.OnTime = (Timed.back().first - Timed.front().first) / 60 - Off;
    return M;
}

// The same log through the readers' fields, the engine and the report's data.
struct TRun {
    TReportData Data;
    std::vector<std::vector<std::string>> Needed; // per band label, as `score --needed`
    std::map<std::string, std::int64_t> BandQsos; // the summary's
};

TRun Build(const std::vector<TQso>& Log, const TPeriod& Period = {}) {
    std::vector<logformats::TLogQSO> Qsos;
    for (std::size_t I = 0; I < Log.size(); ++I) {
        logformats::TLogQSO Q;
        Q.Line = I + 1;
        Q.Call = Log[I].Call;
        Q.Band = Log[I].Band;
        Q.Mode = Log[I].Mode;
        Q.Exchange = Log[I].Exchange;
        Q.Date = Log[I].Date;
        Q.Time = Log[I].Time;
        Qsos.push_back(Q);
    }
    TAreaList Areas;
    std::vector<std::string> Lines;
    for (const std::string& A : AreaPool)
        Lines.push_back(A + "=" + A);
    Areas.SetLines(Lines);
    cli::TLogScore Scored(Areas);
    const std::vector<cli::TVerdict> Verdicts = cli::ScoreInLogOrder(Scored, Qsos);
    std::optional<cli::TContestPeriod> InMinutes;
    if (Period)
        InMinutes =
            cli::TContestPeriod{SecondsOf(Period->first) / 60, SecondsOf(Period->second) / 60};
    TRun Run{cli::BuildReportData(Qsos, Verdicts, Scored, InMinutes), {}, {}};
    for (std::string_view Band : BandLabels)
        Run.Needed.push_back(Scored.Needed(Band));
    for (const TStatistic& S : Scored.Tally().BandStats)
        Run.BandQsos[S.Band] = S.QSOs;
    return Run;
}

std::vector<std::string> OffTimeTexts(const TReportData& D) {
    std::vector<std::string> Texts;
    for (const cli::TReportOffTime& O : D.OffTimes)
        Texts.push_back(cli::TimeText(O.From) + " " + cli::TimeText(O.To) + " " +
                        std::to_string(O.To - O.From));
    return Texts;
}

// Where the test's bands lie, in MHz.
const std::map<std::string, double> TestBandMHz = {
    {"1.8", 1.8}, {"3.5", 3.5}, {"5357", 5.357}, {"7", 7},   {"10", 10},
    {"14", 14},   {"21", 21},   {"28", 28},      {"50", 50}, {"1.2G", 1200}};

void ExpectModel(const std::vector<TQso>& Log, const TPeriod& Period = {}) {
    const TModel M = Model(Log, Period);
    const TRun Run = Build(Log, Period);
    const TReportData& D = Run.Data;

    std::vector<std::size_t> Outside;
    for (const std::size_t I : D.Outside)
        Outside.push_back(I);
    EXPECT_EQ(Outside, M.Outside);
    const std::map<std::string, std::int64_t> Modes(D.Modes.begin(), D.Modes.end());
    EXPECT_EQ(Modes, M.Modes);
    std::vector<std::string> Best;
    for (const cli::TReportBestRate& B : D.BestRates)
        Best.push_back(std::to_string(B.Minutes) + " " + std::to_string(B.Qsos) + " " +
                       cli::TimeText(B.From));
    EXPECT_EQ(Best, M.Best);
    // Every band of the summary once, by frequency.
    ASSERT_EQ(D.Bands.size(), Run.BandQsos.size());
    for (std::size_t B = 1; B < D.Bands.size(); ++B)
        EXPECT_LT(TestBandMHz.at(D.Bands[B - 1]), TestBandMHz.at(D.Bands[B]));
    // The hourly table's column totals, as the rate chart's bars add up: the
    // summary's QSOs less those with no time or outside the contest.
    std::map<std::string, std::int64_t> Columns;
    for (const cli::TReportHour& H : D.Hours)
        for (const auto& [Band, Count] : H.Qsos)
            Columns[Band] += Count;
    for (const auto& [Band, Count] : Run.BandQsos) {
        const auto Elsewhere = M.Elsewhere.find(Band);
        EXPECT_EQ(Columns[Band] + (Elsewhere == M.Elsewhere.end() ? 0 : Elsewhere->second), Count)
            << Band;
    }

    ASSERT_EQ(D.HasTimes, M.Timed);
    ASSERT_EQ(D.Hours.size(), M.Hours.size());
    for (std::size_t H = 0; H < D.Hours.size(); ++H) {
        SCOPED_TRACE(M.Hours[H]);
        EXPECT_EQ(cli::TimeText(D.Hours[H].Start), M.Hours[H]);
        const std::map<std::string, std::int64_t> PerBand(D.Hours[H].Qsos.begin(),
                                                          D.Hours[H].Qsos.end());
        EXPECT_EQ(PerBand, M.Qsos[H]);
        EXPECT_EQ(D.Hours[H].BandChanges, M.Changes[H]);
        EXPECT_EQ(D.Hours[H].Points, M.Points[H]);
        EXPECT_EQ(D.Hours[H].Multipliers, M.Multipliers[H]);
    }
    ASSERT_EQ(D.Multipliers.size(), M.Mults.size());
    for (std::size_t I = 0; I < D.Multipliers.size(); ++I) {
        const cli::TReportMultiplier& Got = D.Multipliers[I];
        EXPECT_EQ(Got.Outside,
                  std::find(M.Outside.begin(), M.Outside.end(), Got.Line - 1) != M.Outside.end());
        EXPECT_EQ(std::make_tuple(Got.Time ? cli::TimeText(*Got.Time) : std::string(), Got.Band,
                                  Got.Area),
                  M.Mults[I]);
    }
    EXPECT_EQ(OffTimeTexts(D), M.OffTimes);
    if (M.Timed) {
        EXPECT_EQ(D.OnTime, M.OnTime);
    }

    // The grid: every area of the list, in order; a cell per first multiplier,
    // at its time; the empty cells of a band are what `score --needed` lists.
    ASSERT_EQ(D.Grid.size(), AreaPool.size());
    std::set<std::tuple<std::string, std::string, std::string>> Cells, Firsts;
    for (const auto& [Time, Band, Area] : M.Mults)
        Firsts.emplace(Time, Band, Area);
    for (std::size_t A = 0; A < D.Grid.size(); ++A) {
        EXPECT_EQ(D.Grid[A].Area, AreaPool[A]);
        for (const auto& [Band, Time] : D.Grid[A].First)
            Cells.emplace(Time ? cli::TimeText(*Time) : "", Band, D.Grid[A].Area);
    }
    EXPECT_EQ(Cells, Firsts);
    for (std::size_t B = 0; B < BandLabels.size(); ++B) {
        std::vector<std::string> Empty;
        for (const cli::TReportGridArea& Row : D.Grid)
            if (std::none_of(Row.First.begin(), Row.First.end(),
                             [&](const auto& Cell) { return Cell.first == BandLabels[B]; }))
                Empty.push_back(Row.Area);
        EXPECT_EQ(Empty, Run.Needed[B]) << BandLabels[B];
    }
}

struct TCase {
    const char* Name;
    std::vector<TQso> Log;
    std::vector<std::string> Hours; // the first and the last, and how many
    std::size_t HourCount;
    std::vector<std::string> OffTimes;
    std::int64_t OnTime;
    TPeriod Period = {};
    std::vector<std::size_t> Outside = {}; // lines
    std::vector<std::string> Best = {};    // "minutes QSOs from", for 10 and 60
};

const TCase Cases[] = {
    {"23:59 then 00:00 of the next day",
     {{"2026-03-07", "2359", "A", "14", "AB"}, {"2026-03-08", "0000", "B", "7", "AB"}},
     {"2026-03-07T23:00Z", "2026-03-08T00:00Z"},
     2,
     {},
     1},
    {"across a month end",
     {{"2026-02-28", "2330", "A", "14", "AB"}, {"2026-03-01", "0110", "B", "14", "CD"}},
     {"2026-02-28T23:00Z", "2026-03-01T01:00Z"},
     3,
     {"2026-02-28T23:30Z 2026-03-01T01:10Z 100"},
     0},
    {"a leap day and a year end",
     {{"2028-02-28", "2350", "A", "7", "AB"},
      {"2028-02-29", "0010", "B", "7", "CD"},
      {"2028-12-31", "2345", "C", "7", "EF"},
      {"2029-01-01", "0015", "D", "7", "GH"}},
     {"2028-02-28T23:00Z", "2029-01-01T00:00Z"},
     308 * 24 - 22, // 308 days from 28 February to 1 January, 23:00 to 00:00
     {"2028-02-29T00:10Z 2028-12-31T23:45Z 442055"},
     50,
     Within("2028-01-01 0000", "2029-12-31 2359")},
    {"a 60-minute gap is an off-time, a 59-minute one is not",
     {{"2026-03-07", "1000", "A", "14", ""},
      {"2026-03-07", "1100", "B", "14", ""},
      {"2026-03-07", "1159", "C", "14", ""}},
     {"2026-03-07T10:00Z", "2026-03-07T11:00Z"},
     2,
     {"2026-03-07T10:00Z 2026-03-07T11:00Z 60"},
     59},
    {"duplicates were on the air: they close gaps, yet the rate leaves them out",
     {{"2026-03-07", "1000", "A", "14", "AB"},
      {"2026-03-07", "1040", "A", "14", "AB"},
      {"2026-03-07", "1120", "B", "14", "CD"}},
     {"2026-03-07T10:00Z", "2026-03-07T11:00Z"},
     2,
     {},
     80},
    {"a log out of time order is taken in time order",
     {{"2026-03-07", "1200", "A", "14", "AB"},
      {"2026-03-07", "1000", "B", "7", "AB"},
      {"2026-03-07", "1130", "C", "14", "CD"}},
     {"2026-03-07T10:00Z", "2026-03-07T12:00Z"},
     3,
     {"2026-03-07T10:00Z 2026-03-07T11:30Z 90"},
     30},
    {"QSOs without a valid time are left out of the hours only",
     {{"2026-03-07", "1000", "A", "14", "AB"},
      {"2026-02-30", "1010", "B", "14", "CD"},
      {"", "", "C", "7", "EF"},
      {"2026-03-07", "2460", "D", "7", "GH"}},
     {"2026-03-07T10:00Z", "2026-03-07T10:00Z"},
     1,
     {},
     0},
    {"a log without times", {{"", "", "A", "14", "AB"}, {"", "", "B", "7", "cd"}}, {}, 0, {}, 0},
    {"the best windows across midnight and a month end; a duplicate is no rate",
     {{"2026-02-28", "2355", "A", "14", "AB"},
      {"2026-02-28", "2358", "A", "14", "AB"},
      {"2026-03-01", "0001", "B", "14", "CD"},
      {"2026-03-01", "0004", "C", "7", "EF"},
      {"2026-03-01", "0005", "D", "7", "GH"},
      {"2026-03-01", "0054", "E", "7", ""},
      {"2026-03-01", "0055", "F", "7", ""}},
     {"2026-02-28T23:00Z", "2026-03-01T00:00Z"},
     2,
     {},
     60,
     {},
     {},
     {"10 3 2026-02-28T23:55Z", "60 5 2026-02-28T23:55Z"}},
    {"a window holds both its ends; the earliest of equal windows",
     {{"2026-03-07", "1000", "A", "14", ""},
      {"2026-03-07", "1009", "B", "14", ""},
      {"2026-03-07", "1010", "C", "14", ""},
      {"2026-03-07", "1019", "D", "14", ""},
      {"2026-03-07", "1059", "E", "14", ""}},
     {"2026-03-07T10:00Z", "2026-03-07T10:00Z"},
     1,
     {},
     59,
     {},
     {},
     {"10 2 2026-03-07T10:00Z", "60 5 2026-03-07T10:00Z"}},
    {"a mistyped year: the QSO is outside, the hours are the contest's",
     {{"2026-03-07", "1200", "A", "14", "AB"},
      {"2025-03-07", "1210", "B", "14", "CD"},
      {"2026-03-07", "1259", "C", "7", "EF"}},
     {"2026-03-07T12:00Z", "2026-03-07T12:00Z"},
     1,
     {},
     59,
     {},
     {2},
     {"10 1 2026-03-07T12:00Z", "60 2 2026-03-07T12:00Z"}},
    {"exactly 48 hours from the median stays; a minute more is outside",
     {{"2026-03-05", "1201", "A", "14", ""},
      {"2026-03-07", "1200", "B", "14", ""},
      {"2026-03-07", "1201", "C", "14", ""},
      {"2026-03-09", "1201", "D", "14", ""},
      {"2026-03-09", "1202", "E", "14", ""}},
     {"2026-03-05T12:00Z", "2026-03-09T12:00Z"},
     97,
     {"2026-03-05T12:01Z 2026-03-07T12:00Z 2879", "2026-03-07T12:01Z 2026-03-09T12:01Z 2880"},
     1,
     {},
     {5},
     {"10 2 2026-03-07T12:00Z", "60 2 2026-03-07T12:00Z"}},
    {"QSOs all far apart: the median one stays, of an even count the earlier middle one",
     {{"2026-03-27", "1200", "A", "14", ""},
      {"2026-03-07", "1200", "B", "14", ""},
      {"2026-03-17", "1200", "C", "14", ""},
      {"2026-04-06", "1200", "D", "14", ""}},
     {"2026-03-17T12:00Z", "2026-03-17T12:00Z"},
     1,
     {},
     0,
     {},
     {2, 1, 4},
     {"10 1 2026-03-17T12:00Z", "60 1 2026-03-17T12:00Z"}},
    {"a period keeps its both ends, whatever the median",
     {{"2026-03-07", "1159", "A", "14", ""},
      {"2026-03-07", "1200", "B", "14", ""},
      {"2026-03-08", "1159", "C", "14", ""},
      {"2026-03-08", "1200", "D", "14", ""},
      {"2026-03-08", "1200", "D", "14", ""}},
     {"2026-03-07T12:00Z", "2026-03-08T11:00Z"},
     24,
     {"2026-03-07T12:00Z 2026-03-08T11:59Z 1439"},
     0,
     Within("2026-03-07 1200", "2026-03-08 1159"),
     {1, 4, 5},
     {"10 1 2026-03-07T12:00Z", "60 1 2026-03-07T12:00Z"}},
};

TEST(ReportDataTest, LogsWithKnownAnswers) {
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        ExpectModel(C.Log, C.Period);
        const TReportData D = Build(C.Log, C.Period).Data;
        ASSERT_EQ(D.Hours.size(), C.HourCount);
        if (C.HourCount) {
            EXPECT_EQ(cli::TimeText(D.Hours.front().Start), C.Hours.front());
            EXPECT_EQ(cli::TimeText(D.Hours.back().Start), C.Hours.back());
        }
        EXPECT_EQ(OffTimeTexts(D), C.OffTimes);
        EXPECT_EQ(D.OnTime, C.OnTime);
        std::vector<std::size_t> Outside;
        for (const std::size_t I : D.Outside)
            Outside.push_back(I + 1);
        EXPECT_EQ(Outside, C.Outside);
        if (!C.Best.empty()) {
            EXPECT_EQ(Model(C.Log, C.Period).Best, C.Best);
        }
    }
}

TEST(ReportDataTest, TimesSpanningYearsGiveOffTimesButNoHours) {
    // A contest period of decades keeps both.
    const TReportData D =
        Build({{"2026-03-07", "1000", "A", "14", "AB"}, {"2062-03-07", "1000", "B", "14", "CD"}},
              Within("2026-01-01 0000", "2062-12-31 2359"))
            .Data;
    EXPECT_TRUE(D.HasTimes);
    EXPECT_TRUE(D.SpanTooLong);
    EXPECT_TRUE(D.Hours.empty());
    ASSERT_EQ(D.OffTimes.size(), 1u);
    EXPECT_EQ(cli::TimeText(D.OffTimes[0].To), "2062-03-07T10:00Z");
}

TEST(ReportDataTest, BandsNamedAndOrderedByFrequency) {
    // As logged, its name on the page; the list is in frequency order.
    const std::pair<const char*, const char*> Bands[] = {
        {"1.8", "1.8 MHz"},  {"3.5", "3.5 MHz"}, {"5357", "5 MHz"}, {"7", "7 MHz"},
        {"14000", "14 MHz"}, {"14", "14 MHz"},   {"50", "50 MHz"},  {"144", "144 MHz"},
        {"1.2G", "1.2 GHz"}, {"10G", "10 GHz"},  {"60m", "60m"},    {"<b>14</b>", "<b>14</b>"},
        {"LIGHT", "LIGHT"}};
    std::vector<std::string> Logged, Names;
    for (const auto& [Band, Name] : Bands) {
        Logged.insert(Logged.begin(), Band);
        Names.push_back(cli::BandName(Band));
    }
    std::vector<std::string> Ordered = cli::InFrequencyOrder(Logged);
    std::vector<std::string> Expected;
    for (const auto& [Band, Name] : Bands) {
        EXPECT_EQ(cli::BandName(Band), Name);
        Expected.push_back(Band);
    }
    // Those of no frequency keep the order given.
    std::reverse(Expected.end() - 3, Expected.end());
    std::swap(Expected[4], Expected[5]); // "14" was given before "14000"
    EXPECT_EQ(Ordered, Expected);
}

TEST(ReportDataTest, TimeTextAcrossTheCalendar) {
    // Each date's minutes from the readers, back to text.
    for (const char* Date : {"1970-01-01", "1969-12-31", "2000-02-29", "2026-12-31", "2100-03-01",
                             "0001-01-01", "9999-12-31"}) {
        logformats::TLogQSO Q;
        Q.Date = Date;
        Q.Time = "2359";
        EXPECT_EQ(cli::TimeText(*logformats::MinuteOf(Q)), std::string(Date) + "T23:59Z");
    }
}

TEST(ReportDataTest, RandomLogsAgreeWithTheModel) {
    std::mt19937 Random(20260307);
    const std::vector<std::string> Starts = {"2026-02-28", "2028-02-28", "2026-12-31", "2026-04-30",
                                             "2026-03-07"};
    const std::vector<std::string> Bands = {"1.8", "3.5", "7", "14", "21", "28", "10", "50"};
    const std::vector<std::string> Exchanges = {"AB", "cd", "599 EF", "GH ", "XY", "5", ""};
    const auto Pick = [&](const auto& From) { return From[Random() % From.size()]; };
    for (int Round = 0; Round < 300; ++Round) {
        const TQso Start{Pick(Starts), "2200", "", "", ""};
        const std::time_t Base = *Seconds(Start);
        std::vector<TQso> Log;
        const int Count = 1 + static_cast<int>(Random() % 60);
        for (int I = 0; I < Count; ++I) {
            // Over 30 hours: gaps of an hour and more come by themselves; some
            // QSOs are then swapped out of time order.
            const std::time_t At = Base + static_cast<std::time_t>(Random() % (60 * 60 * 30));
            std::tm T{};
            gmtime_r(&At, &T);
            char Date[16], Time[8];
            std::strftime(Date, sizeof Date, "%Y-%m-%d", &T);
            std::strftime(Time, sizeof Time, "%H%M", &T);
            TQso Q{Date, Time, "C" + std::to_string(Random() % 8), Pick(Bands), Pick(Exchanges)};
            Q.Mode = Random() % 3 ? "CW" : "SSB";
            if (Random() % 25 == 0) Q.Time = "2460";
            if (Random() % 40 == 0) Q.Date[3] = static_cast<char>(Q.Date[3] - 1); // a year early
            Log.push_back(Q);
        }
        std::sort(Log.begin(), Log.end(),
                  [](const TQso& A, const TQso& B) { return A.Date + A.Time < B.Date + B.Time; });
        for (int Swap = Count / 8; Swap > 0; --Swap)
            std::swap(Log[Random() % Log.size()], Log[Random() % Log.size()]);
        SCOPED_TRACE(Round);
        ExpectModel(Log);
        if (HasFatalFailure() || HasNonfatalFailure()) return;
    }
}

} // namespace
} // namespace brevlund
