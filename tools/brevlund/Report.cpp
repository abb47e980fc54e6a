#include "Report.h"

#include "EntryCheck.h"

#include "Diagnostics.h"

#include <cstddef>
#include <exception>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <string_view>

// Built from the installed files by ReportEmbed.cmake.
extern const char BrevlundChartJs[];
extern const std::size_t BrevlundChartJsSize;
extern const char BrevlundReportPage[];
extern const std::size_t BrevlundReportPageSize;

namespace brevlund::cli {

namespace {

TJson TimeJson(const std::optional<TMinute>& Minute) {
    return Minute ? TJson(TimeText(*Minute)) : TJson(nullptr);
}

bool SameFile(const std::string& A, const std::string& B) {
    std::error_code Error;
    return A == B || std::filesystem::equivalent(A, B, Error);
}

std::string BaseName(const std::string& Path) {
    return Path.substr(FolderOf(Path).size());
}

// The log's text as the readers read it, for the lines they could not read;
// nothing for a database, or should the file be gone since.
std::string LogTextOf(const TLogJob& Job) {
    if (Job.Format == TLogFormat::Sqlite || Job.Read.Problems.empty()) return {};
    try {
        return DecodeLogText(ReadTextFile(Job.Log)).Text;
    } catch (const TNothingDone&) {
        return {};
    }
}

TJson QsoJson(const logformats::TLogQSO& Qso, const std::optional<TMinute>& Time) {
    return {{"line", Qso.Line},
            {"time", TimeJson(Time)},
            {"call", LogText(Qso.Call)},
            {"band", LogText(Qso.Band)},
            {"mode", LogText(Qso.Mode)}};
}

// The embedded data of a scored log, shown as LogName; texts as LogText reads them.
TJson ReportJson(const std::string& LogName, const TLogJob& Job, const TContest& Contest,
                 const TReportData& Data) {
    const logformats::TLogRead& Read = Job.Read;
    const std::vector<logformats::TLogQSO>& Qsos = Read.QSOs;
    const std::vector<TVerdict>& Verdicts = Job.Verdicts;

    TJson Result;
    Result["log"] = LogText(LogName);
    TJson Category = TJson::object();
    for (const logformats::TLogRead::THeaderLine& H : Read.Header)
        if (const std::string Key = LogText(H.Tag).get<std::string>();
            H.Tag.rfind("CATEGORY", 0) == 0 && !Category.contains(Key))
            Category[Key] = LogText(H.Value);
    const logformats::TEntryHeader Entry = logformats::ReadEntryHeader(Read);
    Result["header"] = {{"call", LogText(logformats::LogCallOf(Read))},
                        {"contest", LogText(Read.HeaderValue("CONTEST"))},
                        {"category", std::move(Category)},
                        {"name", LogText(Entry.Name.Value)},
                        {"club", LogText(Entry.Club.Value)},
                        {"soapbox", LogText(Entry.Soapbox.Value)}};
    Result["contest_name"] = LogText(Contest.Name);
    Result["score_line"] = LogText(ScoreLine(Job.Scored->Totals()));
    Result["summary"] = SummaryJson(*Job.Scored);
    Result["times"] = Data.HasTimes && !Data.SpanTooLong && !Data.Hours.empty();

    // Bands by frequency, and the name each goes by on the page.
    TJson Names = TJson::object();
    const auto Name = [&](const std::string& Band) {
        Names[LogText(Band).get<std::string>()] = LogText(BandName(Band));
    };
    for (const std::string& Band : Data.Bands)
        Name(Band);
    for (const std::string& Band : Data.GridBands)
        Name(Band);
    for (const auto& Duplicate : Data.Duplicates)
        Name(Qsos[Duplicate.Qso].Band);
    for (const std::size_t I : Data.Outside)
        Name(Qsos[I].Band);
    Result["band_order"] = LogTextList(Data.Bands);
    Result["band_names"] = std::move(Names);

    TJson Best = TJson::array();
    for (const TReportBestRate& B : Data.BestRates)
        Best.push_back({{"minutes", B.Minutes},
                        {"qsos", B.Qsos},
                        {"from", TimeText(B.From)},
                        {"to", TimeText(B.From + B.Minutes - 1)}});
    Result["best_rates"] = std::move(Best);
    TJson Modes = TJson::array();
    for (const auto& [Mode, Count] : Data.Modes)
        Modes.push_back({{"mode", LogText(Mode)}, {"qsos", Count}});
    Result["modes"] = std::move(Modes);
    TJson Outside = TJson::array();
    for (const std::size_t I : Data.Outside)
        Outside.push_back(QsoJson(Qsos[I], logformats::MinuteOf(Qsos[I])));
    Result["outside"] = std::move(Outside);
    Result["outside_rule"] = Contest.Period ? "outside the contest period, " +
                                                  TimeText(Contest.Period->Start) + " to " +
                                                  TimeText(Contest.Period->End)
                                            : "more than 48 hours from the median QSO time";
    Result["span_too_long"] = Data.SpanTooLong;

    TJson Hours = TJson::array(), ScoreByHour = TJson::array(), Changes = TJson::array();
    for (const TReportHour& H : Data.Hours) {
        TJson PerBand = TJson::object();
        for (const auto& [Band, Count] : H.Qsos)
            PerBand[LogText(Band).get<std::string>()] = Count;
        Hours.push_back({{"hour", TimeText(H.Start)}, {"qsos", std::move(PerBand)}});
        ScoreByHour.push_back({{"hour", TimeText(H.Start)},
                               {"points", H.Points},
                               {"multipliers", H.Multipliers},
                               {"score", H.Points * H.Multipliers}});
        Changes.push_back({{"hour", TimeText(H.Start)}, {"changes", H.BandChanges}});
    }
    Result["hours"] = std::move(Hours);
    Result["score_by_hour"] = std::move(ScoreByHour);
    Result["bandchanges"] = std::move(Changes);

    TJson Multipliers = TJson::array();
    for (const TReportMultiplier& M : Data.Multipliers)
        Multipliers.push_back({{"time", TimeJson(M.Time)},
                               {"band", LogText(M.Band)},
                               {"area", LogText(M.Area)},
                               {"line", M.Line},
                               {"outside", M.Outside}});
    Result["multipliers"] = std::move(Multipliers);

    TJson GridAreas = TJson::array();
    for (const TReportGridArea& Row : Data.Grid) {
        TJson First = TJson::object();
        for (const auto& [Band, Time] : Row.First)
            First[LogText(Band).get<std::string>()] = TimeJson(Time);
        GridAreas.push_back({{"area", LogText(Row.Area)}, {"first", std::move(First)}});
    }
    Result["grid"] = {{"bands", LogTextList(Data.GridBands)}, {"areas", std::move(GridAreas)}};

    TJson OffTimes = TJson::array();
    for (const TReportOffTime& Off : Data.OffTimes)
        OffTimes.push_back({{"from", TimeText(Off.From)},
                            {"to", TimeText(Off.To)},
                            {"minutes", Off.To - Off.From}});
    Result["offtimes"] = std::move(OffTimes);
    if (Data.HasTimes) {
        Result["first"] = TimeText(Data.FirstTime);
        Result["last"] = TimeText(Data.LastTime);
        Result["ontime"] = Data.OnTime;
    }
    Result["untimed"] = Data.Untimed;

    TJson Duplicates = TJson::array();
    for (const auto& [I, Time] : Data.Duplicates) {
        TJson Duplicate = QsoJson(Qsos[I], Time);
        Duplicate["duplicate_of"] = Verdicts[I].DuplicateOf;
        Duplicates.push_back(std::move(Duplicate));
    }
    Result["duplicates"] = std::move(Duplicates);
    std::vector<std::size_t> ProblemLines;
    for (const logformats::TLogProblem& P : Read.Problems)
        ProblemLines.push_back(P.Line);
    const std::vector<std::string> Texts = LineTexts(LogTextOf(Job), ProblemLines);
    TJson Problems = TJson::array();
    for (std::size_t I = 0; I < Read.Problems.size(); ++I)
        Problems.push_back({{"line", Read.Problems[I].Line},
                            {"message", LogText(Read.Problems[I].Message)},
                            {"text", LogText(Texts[I])}});
    Result["problems"] = std::move(Problems);
    Result["findings"] = LogTextList(Data.Findings);
    Result["notes"] = Job.NoAreaList ? LogTextList({*Job.NoAreaList}) : TJson::array();
    return Result;
}

// JSON text that an HTML <script> element holds safely: no "<", ">" or "&"
// (written as \u escapes), so neither "</script" nor "<!--" can occur.
std::string ScriptSafeJson(const TJson& Value) {
    // Dump writes ASCII only, and "<", ">" and "&" occur only inside strings,
    // where their \u escapes mean the same.
    const std::string Text = Dump(Value);
    std::string Safe;
    Safe.reserve(Text.size() + Text.size() / 16);
    for (const char C : Text) {
        if (C == '<')
            Safe += "\\u003c";
        else if (C == '>')
            Safe += "\\u003e";
        else if (C == '&')
            Safe += "\\u0026";
        else
            Safe += C;
    }
    return Safe;
}

// The whole page around the data.
std::string ReportPage(const TJson& Data) {
    // The page is written once around two marks: the data and the library.
    const std::string_view Template(BrevlundReportPage, BrevlundReportPageSize);
    const std::string_view DataMark = "@REPORT_DATA@", LibraryMark = "@CHART_JS@";
    const std::size_t AtData = Template.find(DataMark);
    const std::size_t AtLibrary = Template.find(LibraryMark);
    const std::string Json = ScriptSafeJson(Data);
    std::string Page;
    Page.reserve(Template.size() + BrevlundChartJsSize + Json.size());
    Page += Template.substr(0, AtData);
    Page += Json;
    Page += Template.substr(AtData + DataMark.size(), AtLibrary - AtData - DataMark.size());
    Page.append(BrevlundChartJs, BrevlundChartJsSize);
    Page += Template.substr(AtLibrary + LibraryMark.size());
    return Page;
}

} // namespace

int Report(const TReportOptions& O, std::ostream& Out, std::ostream& Err) {
    const std::string Output = O.Output.empty() ? DefaultReportPath(O.Job.Log) : O.Output;
    for (const std::string& Input : {O.Job.Log, O.Job.Areas.value_or(AreaListBeside(O.Job.Log))})
        if (SameFile(Output, Input))
            throw TNothingDone("the page would overwrite " + Input + "; name another with -o");

    const TLogJob Job = RunLogJob(O.Job, Err);
    const TContest& Contest = O.Contest ? *O.Contest : BuiltInContests().front();
    TReportData Data = BuildReportData(Job.Read.QSOs, Job.Verdicts, *Job.Scored, Contest.Period);
    // What score --check would tell before the log is sent.
    for (const TEntryFinding& F : CheckLogEntry(Job, O.Contest ? &*O.Contest : nullptr))
        Data.Findings.push_back("line " + std::to_string(F.Line) + ": " + F.Message);
    const std::string Page = ReportPage(ReportJson(BaseName(O.Job.Log), Job, Contest, Data));
    if (Output == "-") {
        Out << Page;
    } else {
        std::ofstream File(Output, std::ios::binary | std::ios::trunc);
        if (File) File.write(Page.data(), static_cast<std::streamsize>(Page.size()));
        if (File) File.close();
        if (!File) throw TNothingDone("cannot write " + Output);
        Out << "report written to " << Output << "\n";
    }
    return Job.ExitCode();
}

std::string DefaultReportPath(const std::string& Log) {
    const std::size_t Folder = FolderOf(Log).size();
    const std::size_t Dot = Log.rfind('.');
    return (Dot == std::string::npos || Dot < Folder ? Log : Log.substr(0, Dot)) + ".html";
}

} // namespace brevlund::cli
