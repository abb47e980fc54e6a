#include "EntrantReport.h"

#include "LogScore.h"

#include "engine/Summary.h"
#include "engine/Text.h"
#include "logformats/EntryHeader.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace brevlund::cli {

using logformats::TLogQSO;

TEntry EntryOf(const TCheckRun& Run, const TLogCheck& Log, const TContest& Contest) {
    const logformats::TLogRead& Read = Run.Logs[Log.Log].Read;
    std::vector<logformats::THeaderNote> Notes;
    const logformats::TEntryHeader Header = logformats::ReadEntryHeader(Read, &Notes);
    TEntry E;
    E.Category = Contest.CategoryParts.empty() ? Header.CategoryText()
                                               : Header.CategoryText(Contest.CategoryParts);
    if (const std::string All = Header.CategoryText(); All != E.Category) E.Declared = All;
    E.CheckLog = Header.CheckLog();
    E.Name = Header.Name.Value;
    E.Club = Header.Club.Value;
    E.Location = Header.Location.Value;
    E.Soapbox = Header.Soapbox.Value;
    std::optional<std::int64_t> Claimed;
    if (!Run.NoAreaList) Claimed = Log.Claimed.Score();
    E.Findings = CheckReadEntry(Read, Header, std::move(Notes), Claimed, &Contest);
    E.Flags = FlagsOf(E.Findings);
    E.Area = SentArea(Contest, Read.QSOs);
    return E;
}

namespace {

std::string Padded(const std::string& Text, std::size_t Width) {
    return PadLeft(Text, Width, ' ');
}

// The multipliers (band and area) the claimed score counted and the checked
// one did not: both scored again by the engine, the checked over the QSOs
// credited, as the check scores them.
std::vector<std::string> LostMultipliers(const TLogCheck& L, const TAreaList& Areas) {
    TLogScore Claimed(Areas), Checked(Areas);
    for (const TCheckedQSO& Q : L.Qsos) {
        if (Q.X) continue;
        Claimed.Add(*Q.Qso);
        if (Credited(Q.Status)) Checked.Add(*Q.Qso);
    }
    std::vector<std::string> Lost;
    for (const TStatistic& Stat : Claimed.Tally().BandStats) {
        std::vector<std::string> Kept;
        for (const TStatistic& Other : Checked.Tally().BandStats)
            if (Other.Band == Stat.Band) Kept = Checked.AreasOf(Other);
        std::string Line;
        for (const std::string& Area : Claimed.AreasOf(Stat))
            if (std::find(Kept.begin(), Kept.end(), Area) == Kept.end())
                Line += (Line.empty() ? "" : " ") + Area;
        if (!Line.empty()) Lost.push_back(Stat.Band + ": " + Line);
    }
    return Lost;
}

std::string ScoreRow(const std::string& Name, const TTotals& T) {
    return Name + std::string(10 - Name.size(), ' ') + Padded(std::to_string(T.QSOs), 7) +
           Padded(std::to_string(T.Points), 8) + Padded(std::to_string(T.Multipliers), 12) +
           Padded(std::to_string(T.Score()), 12);
}

} // namespace

TEntrantReports::TEntrantReports(const TCheckRun& Run, const TCheckLogsOptions& Options)
    : Run(Run), Options(Options) {
    for (const TLogCheck& L : Run.Result.Logs)
        Calls[L.Log] = L.Call;
}

std::string TEntrantReports::CallOf(std::size_t Log) const {
    const auto It = Calls.find(Log);
    return It == Calls.end() ? std::string() : It->second;
}

// What the other log shows of a QSO: its line, time, band, mode and what it sent.
std::string TEntrantReports::OtherSide(const TCheckedQSO& Q) const {
    if (Q.OtherLog == NoLog) return {};
    const std::string Line = CallOf(Q.OtherLog) + "'s line " + std::to_string(Q.OtherLine);
    const TLogQSO* Other = QsoAtLine(Run.Logs[Q.OtherLog].Read, Q.OtherLine);
    if (!Other) return Line;
    return Line + ": " + Other->Date + " " + Other->Time + " " + Other->Band + " " + Other->Mode +
           ", sent \"" + Other->Sent + "\"";
}

TEntrantReport TEntrantReports::Of(const TLogCheck& L, const TEntry& E) const {
    TEntrantReport Report;
    Report.Title = ContestTitle(Options.Contest) + ": the checked log of " + L.Call;

    TReportSection Entry{"Entry", {}};
    Entry.Lines.push_back("Call: " + L.Call + " (" + Run.Logs[L.Log].File + ")");
    const std::string Category = E.Category.empty() ? "none given" : E.Category;
    Entry.Lines.push_back("Category: " + (E.CheckLog ? "CHECKLOG (not ranked)" : Category));
    if (!E.Declared.empty()) Entry.Lines.push_back("Declared: " + E.Declared);
    if (E.Rank) Entry.Lines.push_back("Rank: " + std::to_string(E.Rank) + " in " + Category);
    Entry.Lines.push_back("Area: " + (E.Area.empty() ? std::string("none sent") : E.Area));
    for (const auto& [Tag, Value] :
         {std::pair{"Name", &E.Name}, {"Club", &E.Club}, {"Location", &E.Location}})
        if (!Value->empty()) Entry.Lines.push_back(std::string(Tag) + ": " + *Value);
    Report.Sections.push_back(std::move(Entry));

    TReportSection Score{"Score", {}, true};
    Score.Lines.push_back(std::string(10, ' ') + Padded("QSOs", 7) + Padded("Points", 8) +
                          Padded("Multipliers", 12) + Padded("Score", 12));
    Score.Lines.push_back(ScoreRow("Claimed", L.Claimed));
    Score.Lines.push_back(ScoreRow("Checked", L.Checked));
    const std::int64_t Claimed = L.Claimed.Score();
    Score.Lines.push_back(
        "Reduction: " + PercentText(ReductionPercent(Claimed, L.Checked.Score())) + "%");
    if (L.PenaltyPoints > 0)
        Score.Lines.push_back("Penalty: " + std::to_string(L.PenaltyPoints) + " points deducted (" +
                              std::to_string(Options.Penalty) +
                              " times the points of each NIL and busted-call QSO)");
    Score.Lines.push_back("Clock: " +
                          (L.ClockOffset == 0
                               ? std::string("no correction")
                               : "your log's times were " + Duration(std::abs(L.ClockOffset)) +
                                     (L.ClockOffset > 0 ? " ahead" : " behind") +
                                     " of the other logs; corrected before matching"));
    if (L.UnreadableLines > 0)
        Score.Lines.push_back(
            "Unreadable lines: " + std::to_string(L.UnreadableLines) +
            "; QSOs in other logs they left unverified: " + std::to_string(L.UnverifiedCaused));
    Report.Sections.push_back(std::move(Score));

    TReportSection Flagged{"Flags and what the header check found", {}};
    std::string FlagList;
    for (TEntryFlag F : E.Flags)
        FlagList += (FlagList.empty() ? "" : ", ") + std::string(EntryFlagName(F));
    Flagged.Lines.push_back("Flags: " + (FlagList.empty() ? std::string("none") : FlagList));
    for (const TEntryFinding& F : E.Findings)
        Flagged.Lines.push_back("  line " + std::to_string(F.Line) + ": " + F.Message +
                                (F.Flag ? " (" + std::string(EntryFlagName(*F.Flag)) + ")" : ""));
    Report.Sections.push_back(std::move(Flagged));

    // Lost credit by status, each QSO with why and what the other log shows.
    TReportSection Lost{"QSOs that lost credit", {}};
    for (TCheckStatus S :
         {TCheckStatus::Nil, TCheckStatus::BustedCall, TCheckStatus::BustedExchange,
          TCheckStatus::BustedBand, TCheckStatus::BustedMode, TCheckStatus::BustedTime,
          TCheckStatus::OutOfPeriod, TCheckStatus::Self}) {
        const std::size_t Count = L.Count(S);
        if (Count == 0) continue;
        Lost.Lines.push_back(std::string(StatusName(S)) + " (" + std::to_string(Count) + "):");
        for (const TCheckedQSO& Q : L.Qsos) {
            if (Q.Status != S) continue;
            const std::string By = "the log of " + CallOf(Q.OtherLog) + " holds it";
            std::string Why;
            switch (S) {
            case TCheckStatus::Nil:
                Why = "not in the log of " + UpperAscii(Q.Qso->Call);
                break;
            case TCheckStatus::BustedCall:
                Why = Q.OtherLog == NoLog
                          ? Q.Correct + ", which other logs hold, was on that band then"
                          : "the log of " + Q.Correct + " holds it";
                break;
            case TCheckStatus::BustedExchange:
                Why = "the other station sent \"" + Q.Correct + "\"";
                break;
            case TCheckStatus::BustedBand:
                Why = By + " on " + Q.Correct;
                break;
            case TCheckStatus::BustedMode:
                Why = By + " in " + Q.Correct;
                break;
            case TCheckStatus::BustedTime:
                Why = By + " at " + Q.Correct + " by your clock";
                break;
            case TCheckStatus::OutOfPeriod:
                Why = "outside the contest period";
                break;
            default:
                Why = "your own call";
            }
            const std::string Other = OtherSide(Q);
            Lost.Lines.push_back("  line " + std::to_string(Q.Qso->Line) + ": " + Logged(*Q.Qso) +
                                 ", sent \"" + Q.Qso->Sent + "\": " + Why +
                                 (Other.empty() ? "" : "; " + Other));
        }
    }
    Report.Sections.push_back(std::move(Lost));

    TReportSection Dupes{"Duplicates (they scored nothing, so they cost nothing)", {}};
    TReportSection Uniques{"Uniques (credited; no other log holds the call)", {}};
    TReportSection Unverified{"Unverified (credited; the other log could not be read there)", {}};
    for (const TCheckedQSO& Q : L.Qsos) {
        const std::string Line = "line " + std::to_string(Q.Qso->Line) + ": " + Logged(*Q.Qso);
        if (Q.Status == TCheckStatus::Dupe) Dupes.Lines.push_back(Line);
        if (Q.Status == TCheckStatus::Unique) Uniques.Lines.push_back(Line);
        if (Q.Status == TCheckStatus::Unverified)
            Unverified.Lines.push_back(Line + "; " + OtherSide(Q) + " could not be read");
    }
    Report.Sections.push_back(std::move(Dupes));
    Report.Sections.push_back(std::move(Uniques));
    Report.Sections.push_back(std::move(Unverified));
    Report.Sections.push_back({"Multipliers lost (band: areas)", LostMultipliers(L, Run.Areas)});

    TReportSection Caused{"Errors caused (QSOs in other logs that lost credit through your log)",
                          {}};
    for (const TCausedError& C : L.Caused) {
        const TLogQSO* Q = QsoAtLine(Run.Logs[C.Log].Read, C.Line);
        Caused.Lines.push_back(
            CallOf(C.Log) + "'s line " + std::to_string(C.Line) + ": " +
            (Q ? Logged(*Q) : std::string()) + ": " + StatusName(C.Status) +
            (C.OwnLine ? " (your line " + std::to_string(C.OwnLine) + ")" : std::string()));
    }
    Report.Sections.push_back(std::move(Caused));
    if (!E.Soapbox.empty()) {
        TReportSection Soapbox{"Soapbox", {}, true};
        for (std::size_t Start = 0, End = 0; End != std::string::npos; Start = End + 1) {
            End = E.Soapbox.find('\n', Start);
            Soapbox.Lines.push_back(E.Soapbox.substr(Start, End - Start));
        }
        Report.Sections.push_back(std::move(Soapbox));
    }
    return Report;
}

double ReductionPercent(std::int64_t Claimed, std::int64_t Checked) {
    if (Claimed <= 0) return 0;
    const double Percent =
        100.0 * static_cast<double>(Claimed - Checked) / static_cast<double>(Claimed);
    return std::round(Percent * 10) / 10;
}

std::string PercentText(double Percent) {
    std::ostringstream Text;
    Text.setf(std::ios::fixed);
    Text.precision(1);
    Text << Percent;
    return Text.str();
}

std::string ReportText(const TEntrantReport& Report) {
    std::string Text = Report.Title + "\n";
    for (const TReportSection& S : Report.Sections) {
        Text += "\n" + S.Title + ":\n";
        for (const std::string& Line : S.Lines)
            Text += "  " + Line + "\n";
        if (S.Lines.empty()) Text += "  none\n";
    }
    return Text;
}

} // namespace brevlund::cli
