#include "CheckLogs.h"
#include "EntrantReport.h"

#include "CrossCheck.h"
#include "Diagnostics.h"
#include "Json.h"
#include "LogJob.h"

#include "engine/AreaList.h"
#include "engine/Text.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <type_traits>

namespace brevlund::cli {

namespace {

namespace fs = std::filesystem;
using logformats::TLogQSO;

std::int64_t ModifiedTime(const std::string& File) {
    std::error_code Code;
    const fs::file_time_type Time = fs::last_write_time(File, Code);
    return Code ? 0 : static_cast<std::int64_t>(Time.time_since_epoch().count());
}

// The logs to check: each file as named, each folder's logs (LogInFolder) in
// name order, read as the contest lays out its exchanges. Every file named and
// every folder file that looks like a log is read, or gets its row.
struct TGathered {
    std::vector<TCrossLog> Logs;
    std::vector<TNotChecked> NotChecked;
    bool Unread = false; // some file, line or folder could not be read
};

TGathered Gather(const TCheckLogsOptions& O, std::ostream& Err) {
    TGathered G;
    TReadOptions Reading;
    Reading.Layout = LayoutOf(O.Contest);
    const auto Take = [&](const std::string& File,
                          std::optional<TLogSource> (*Open)(const std::string&)) {
        try {
            std::optional<TLogSource> Source = Open(File);
            if (!Source) return;
            TCrossLog Log{File, ReadLogJob(std::move(*Source), Reading, Err), ModifiedTime(File)};
            G.Unread = G.Unread || !Log.Read.Problems.empty();
            if (!logformats::LogCallOf(Log.Read).empty()) {
                G.Logs.push_back(std::move(Log));
                return;
            }
            const std::string Why = "no own call (CALLSIGN: in Cabrillo, STATION_CALLSIGN or "
                                    "OPERATOR in ADIF): nothing to check there";
            Err << "brevlund: " << File << ": " << Why << "\n";
            G.NotChecked.push_back({File, "", Why});
        } catch (const TLogRefused& E) {
            Err << "brevlund: " << E.what() << "\n";
            G.NotChecked.push_back({File, E.Call(), E.Reason()});
        } catch (const TNothingDone& E) {
            Err << "brevlund: " << E.what() << "\n";
            G.NotChecked.push_back({File, "", E.what()});
        }
        G.Unread = true;
    };
    for (const std::string& Input : O.Inputs) {
        std::error_code Code;
        if (!fs::is_directory(Input, Code)) {
            Take(Input, [](const std::string& File) { return std::optional(OpenLog(File)); });
            continue;
        }
        std::vector<std::string> Found;
        for (fs::directory_iterator It(Input, Code), End; !Code && It != End; It.increment(Code))
            if (It->is_regular_file(Code)) Found.push_back(It->path().string());
        if (Code) {
            Err << "brevlund: cannot list " << Input << ": " << Code.message() << "\n";
            G.Unread = true;
        }
        std::sort(Found.begin(), Found.end());
        for (const std::string& File : Found)
            Take(File, LogInFolder);
    }
    return G;
}

std::string TimeOf(const TLogQSO& Q) {
    return Q.Date + " " + Q.Time;
}

// A log's text as a JSON string, as LogText() and Dump() write it: plain
// printable ASCII stands as it is, so that the millions of short texts of a
// big contest skip the library; anything else goes through it.
void AppendJsonText(std::string& Out, std::string_view Text) {
    const bool Plain = std::all_of(Text.begin(), Text.end(), [](char C) {
        return C >= 0x20 && C < 0x7F && C != '"' && C != '\\';
    });
    if (!Plain) {
        Out += Dump(LogText(Text));
        return;
    }
    Out += '"';
    Out.append(Text);
    Out += '"';
}

// {"line","call","band","mode","time","status"[,"correct"][,"checkable"]}
void AppendQsoJson(std::string& Out, const TCheckedQSO& Q) {
    Out += "{\"line\":";
    Out += std::to_string(Q.Qso->Line);
    for (const auto& [Key, Value] : {std::pair{",\"call\":", std::string_view(Q.Qso->Call)},
                                     {",\"band\":", Q.Qso->Band},
                                     {",\"mode\":", Q.Qso->Mode}}) {
        Out += Key;
        AppendJsonText(Out, Value);
    }
    Out += ",\"time\":";
    AppendJsonText(Out, TimeOf(*Q.Qso));
    Out += ",\"status\":\"";
    Out += StatusName(Q.Status);
    Out += '"';
    if (!Q.Correct.empty()) {
        Out += ",\"correct\":";
        AppendJsonText(Out, Q.Correct);
    }
    if (Q.Status == TCheckStatus::NotCheckable) Out += ",\"checkable\":false";
    Out += '}';
}

// One log at a time, so that a big contest never sits in memory as JSON.
void WriteJson(std::ostream& Out, const TCrossResult& Result, const std::vector<TCrossLog>& Logs,
               const std::vector<TNotChecked>& NotChecked, bool WithPenalty) {
    Out << "{\"logs\":[";
    std::string Text;
    for (std::size_t I = 0; I < Result.Logs.size(); ++I) {
        const TLogCheck& L = Result.Logs[I];
        TJson J;
        J["file"] = LogText(Logs[L.Log].File);
        J["call"] = LogText(L.Call);
        J["clock_offset_minutes"] = L.ClockOffset;
        J["claimed"] = TotalsJson(L.Claimed);
        J["checked"] = TotalsJson(L.Checked);
        if (WithPenalty) J["penalty_points"] = L.PenaltyPoints;
        J["errors_caused"] = L.ErrorsCaused;
        J["unreadable_lines"] = L.UnreadableLines;
        J["unverified_caused"] = L.UnverifiedCaused;
        // The QSOs last, each written straight into the log's text.
        Text = Dump(J);
        Text.pop_back();
        Text += ",\"qsos\":[";
        for (std::size_t Q = 0; Q < L.Qsos.size(); ++Q) {
            if (Q) Text += ',';
            AppendQsoJson(Text, L.Qsos[Q]);
        }
        Text += "]}";
        Out << (I ? "," : "") << Text;
    }
    for (std::size_t I = 0; I < NotChecked.size(); ++I) {
        TJson J;
        J["file"] = LogText(NotChecked[I].File);
        J["call"] = LogText(NotChecked[I].Call);
        J["status"] = "not-checked";
        J["reason"] = LogText(NotChecked[I].Reason);
        Out << (I + Result.Logs.size() ? "," : "") << Dump(J);
    }
    Out << "]}\n";
}

// The logs best first: by checked score, then by call.
std::vector<const TLogCheck*> Ranked(const TCrossResult& Result) {
    std::vector<const TLogCheck*> Ranking;
    for (const TLogCheck& L : Result.Logs)
        Ranking.push_back(&L);
    std::stable_sort(Ranking.begin(), Ranking.end(), [](const TLogCheck* A, const TLogCheck* B) {
        return A->Checked.Score() > B->Checked.Score();
    });
    return Ranking;
}

// A text or a number right-aligned in a column of the tables.
template <typename T> std::string Column(const T& Value, std::size_t Width) {
    if constexpr (std::is_arithmetic_v<T>)
        return PadLeft(std::to_string(Value), Width, ' ');
    else
        return PadLeft(Value, Width, ' ');
}

void WriteTable(std::ostream& Out, const TCrossResult& Result,
                const std::vector<TNotChecked>& NotChecked, bool WithPenalty) {
    Out << std::string(12, ' ') << "  ------------ claimed -----------"
        << "  ------------ checked -----------\n";
    Out << std::left << std::setw(12) << "Call" << std::right << Column("QSOs", 7)
        << Column("Points", 8) << Column("Mults", 6) << Column("Score", 12) << Column("QSOs", 7)
        << Column("Points", 8) << Column("Mults", 6) << Column("Score", 12)
        << (WithPenalty ? Column("Penalty", 8) : "") << Column("dupe", 6) << Column("nil", 6)
        << Column("b-call", 7) << Column("b-exch", 7) << Column("b-bmt", 6) << Column("void", 5)
        << Column("unique", 7) << Column("unver", 6) << Column("clock", 6) << "\n";
    for (const TLogCheck* L : Ranked(Result)) {
        Out << std::left << std::setw(12) << L->Call << std::right << Column(L->Claimed.QSOs, 7)
            << Column(L->Claimed.Points, 8) << Column(L->Claimed.Multipliers, 6)
            << Column(L->Claimed.Score(), 12) << Column(L->Checked.QSOs, 7)
            << Column(L->Checked.Points, 8) << Column(L->Checked.Multipliers, 6)
            << Column(L->Checked.Score(), 12) << (WithPenalty ? Column(-L->PenaltyPoints, 8) : "")
            << Column(L->Count(TCheckStatus::Dupe), 6) << Column(L->Count(TCheckStatus::Nil), 6)
            << Column(L->Count(TCheckStatus::BustedCall), 7)
            << Column(L->Count(TCheckStatus::BustedExchange), 7)
            << Column(L->Count(TCheckStatus::BustedBand) + L->Count(TCheckStatus::BustedMode) +
                          L->Count(TCheckStatus::BustedTime),
                      6)
            << Column(L->Count(TCheckStatus::Self) + L->Count(TCheckStatus::OutOfPeriod), 5)
            << Column(L->Count(TCheckStatus::Unique), 7)
            << Column(L->Count(TCheckStatus::Unverified), 6)
            << Column((L->ClockOffset > 0 ? "+" : "") + std::to_string(L->ClockOffset), 6) << "\n";
    }
    for (const TNotChecked& N : NotChecked)
        Out << std::left << std::setw(12) << (N.Call.empty() ? N.File : N.Call) << std::right
            << "  not checked: " << N.Reason << (N.Call.empty() ? "" : " (" + N.File + ")") << "\n";
}

std::string ResultsCsv(const TCrossResult& Result, const std::vector<TCrossLog>& Logs,
                       const std::vector<TNotChecked>& NotChecked) {
    std::ostringstream Csv;
    const std::string_view Header =
        "call,file,claimed_qsos,claimed_points,claimed_multipliers,claimed_score,"
        "checked_qsos,checked_points,checked_multipliers,checked_score,penalty_points,"
        "dupe,nil,busted_call,busted_exchange,unique,not_checkable,clock_offset_minutes,"
        "errors_caused,busted_band,busted_mode,busted_time,unverified,self,out_of_period,"
        "unreadable_lines,unverified_caused,status,reason";
    Csv << Header << "\n";
    for (const TLogCheck* L : Ranked(Result)) {
        Csv << CsvField(L->Call) << "," << CsvField(Logs[L->Log].File);
        for (const TTotals* T : {&L->Claimed, &L->Checked})
            Csv << "," << T->QSOs << "," << T->Points << "," << T->Multipliers << "," << T->Score();
        Csv << "," << L->PenaltyPoints << "," << L->Count(TCheckStatus::Dupe) << ","
            << L->Count(TCheckStatus::Nil) << "," << L->Count(TCheckStatus::BustedCall) << ","
            << L->Count(TCheckStatus::BustedExchange) << "," << L->Count(TCheckStatus::Unique)
            << "," << L->Count(TCheckStatus::NotCheckable) << "," << L->ClockOffset << ","
            << L->ErrorsCaused;
        for (TCheckStatus S :
             {TCheckStatus::BustedBand, TCheckStatus::BustedMode, TCheckStatus::BustedTime,
              TCheckStatus::Unverified, TCheckStatus::Self, TCheckStatus::OutOfPeriod})
            Csv << "," << L->Count(S);
        Csv << "," << L->UnreadableLines << "," << L->UnverifiedCaused << ",checked,\n";
    }
    for (const TNotChecked& N : NotChecked)
        // Empty counts: every column but the call, the file, the status and the reason.
        Csv << CsvField(N.Call) << "," << CsvField(N.File)
            << std::string(
                   static_cast<std::size_t>(std::count(Header.begin(), Header.end(), ',') - 3), ',')
            << ",not-checked," << CsvField(N.Reason) << "\n";
    return Csv.str();
}

// The report of a log that was not checked, for its entrant.
std::string NotCheckedReport(const TNotChecked& N, const TContest& Contest) {
    return ContestTitle(Contest) + ": the log " + (N.Call.empty() ? "" : "of " + N.Call + " ") +
           "(" + N.File + ") was not checked.\n\nWhy: " + N.Reason + "\n";
}

bool WriteOutDir(const TCheckLogsOptions& O, const TCheckRun& Run, std::ostream& Err) {
    const TCrossResult& Result = Run.Result;
    const std::vector<TNotChecked>& NotChecked = Run.NotChecked;
    std::error_code Code;
    fs::create_directories(O.OutDir, Code);
    if (Code || !fs::is_directory(O.OutDir, Code)) {
        Err << "brevlund: cannot make the folder " << O.OutDir << "\n";
        return false;
    }
    TCallFileNames Names;
    const TEntrantReports Reports(Run, O);
    for (const TLogCheck& L : Result.Logs)
        if (!WriteFile(fs::path(O.OutDir) / (Names.Take(L.Call) + ".txt"),
                       ReportText(Reports.Of(L, EntryOf(Run, L, O.Contest))), Err))
            return false;
    // Named by the call, else by the file; never over a checked log's report.
    for (const TNotChecked& N : NotChecked) {
        const std::string Name =
            Names.Take(N.Call.empty() ? UpperAscii(fs::path(N.File).stem().string()) : N.Call);
        if (!WriteFile(fs::path(O.OutDir) / (Name + ".txt"), NotCheckedReport(N, O.Contest), Err))
            return false;
    }
    return WriteFile(fs::path(O.OutDir) / "results.csv", ResultsCsv(Result, Run.Logs, NotChecked),
                     Err);
}

} // namespace

bool WriteFile(const fs::path& Path, const std::string& Text, std::ostream& Err) {
    std::ofstream File(Path, std::ios::binary);
    File << Text;
    File.close();
    if (!File) {
        Err << "brevlund: cannot write " << Path.string() << "\n";
        return false;
    }
    return true;
}

std::string Duration(int Minutes) {
    const auto Unit = [](int N, const char* Name) {
        return std::to_string(N) + " " + Name + (N == 1 ? "" : "s");
    };
    if (Minutes < 60) return Unit(Minutes, "minute");
    return Unit(Minutes / 60, "hour") + (Minutes % 60 ? " " + Unit(Minutes % 60, "minute") : "");
}

std::string Logged(const logformats::TLogQSO& Q) {
    return Q.Call + " " + Q.Band + " " + Q.Mode + " " + Q.Date + " " + Q.Time + " \"" + Q.Exchange +
           "\"";
}

std::string ContestTitle(const TContest& Contest) {
    return Contest.Name == BuiltInContests().front().Name ? "Brevlund DX Contest" : Contest.Name;
}

std::string CsvField(const std::string& Text) {
    if (Text.find_first_of(",\"\r\n") == std::string::npos) return Text;
    std::string Quoted = "\"";
    for (char C : Text)
        Quoted += C == '"' ? std::string("\"\"") : std::string(1, C);
    return Quoted + "\"";
}

std::string TCallFileNames::Take(const std::string& Call) {
    std::string Name;
    for (char C : Call) {
        const bool Plain = (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '-';
        Name += Plain ? C : '-';
    }
    if (Name.empty()) Name = "-";
    std::string Free = Name;
    for (int N = 2; !Given.insert(Free).second; ++N)
        Free = Name + "-" + std::to_string(N);
    return Free;
}

TCheckRun RunCheck(const TCheckLogsOptions& O, std::ostream& Err) {
    if (O.Inputs.empty()) throw TNothingDone("check-logs needs logs or a folder");

    TCheckRun Run;
    TGathered G = Gather(O, Err);
    Run.Logs = std::move(G.Logs);
    Run.NotChecked = std::move(G.NotChecked);
    Run.Unread = G.Unread;
    const std::vector<TCrossLog>& Logs = Run.Logs;
    if (Logs.empty()) throw TNothingDone("no log could be read: nothing was checked");

    std::optional<std::string> NoAreaList;
    Run.Areas = AreaListJob(O.Areas, O.Inputs.front(), NoAreaList);
    TellNoAreaList(Err, NoAreaList);
    Run.NoAreaList = NoAreaList.has_value();

    TCrossOptions Cross;
    Cross.ToleranceMinutes = O.ToleranceMinutes;
    Cross.Penalty = O.Penalty;
    Cross.Contest = &O.Contest;
    Run.Result = CrossCheck(Logs, Run.Areas, Cross);
    const TCrossResult& Result = Run.Result;
    // The file checked for a call, of however many.
    const auto Checked = [&](const std::string& Call) {
        for (const TLogCheck& L : Result.Logs)
            if (L.Call == Call) return Logs[L.Log].File;
        return std::string();
    };
    for (const auto& [Left, Kept] : Result.Superseded) {
        const std::string Call = logformats::LogCallOf(Logs[Kept].Read);
        const char* Why =
            Logs[Kept].Modified > Logs[Left].Modified ? "modified last" : "as old and named later";
        Err << "brevlund: " << Logs[Left].File << " and " << Logs[Kept].File
            << " are logs of the same call, " << Call << ": " << Logs[Kept].File << ", " << Why
            << ", is checked\n";
        Run.NotChecked.push_back(
            {Logs[Left].File, Call, "a newer log of " + Call + " is checked: " + Checked(Call)});
    }
    return Run;
}

int CheckLogs(const TCheckLogsOptions& O, std::ostream& Out, std::ostream& Err) {
    const TCheckRun Run = RunCheck(O, Err);
    if (!O.OutDir.empty() && !WriteOutDir(O, Run, Err)) return 2;
    if (O.Json)
        WriteJson(Out, Run.Result, Run.Logs, Run.NotChecked, O.Penalty > 0);
    else
        WriteTable(Out, Run.Result, Run.NotChecked, O.Penalty > 0);
    return Run.Unread ? 1 : 0;
}

} // namespace brevlund::cli
