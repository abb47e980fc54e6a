#include "Commands.h"

#include "CheckLogs.h"
#include "Contest.h"
#include "Diagnostics.h"
#include "EntryCheck.h"
#include "Json.h"
#include "LogInput.h"
#include "LogJob.h"
#include "Report.h"
#include "Results.h"

#include "engine/Scoring.h"
#include "engine/Summary.h"
#include "logformats/AreaCheck.h"

#include <CLI/CLI.hpp>

#include <map>
#include <optional>
#include <ostream>

namespace brevlund::cli {

namespace {

using logformats::TLogQSO;

// CR LF as the window has it, written with the platform's line end: the
// streams turn "\n" into CR LF on Windows.
std::string PlatformLines(std::string_view Text) {
    std::string Result;
    Result.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') continue;
        Result += Text[I];
    }
    return Result;
}

std::string VerdictText(const TLogScore& Scored, const TVerdict& V) {
    if (V.Duplicate())
        return V.DuplicateOf ? "duplicate of line " + std::to_string(V.DuplicateOf)
                             : std::string("duplicate");
    std::string Text = std::to_string(V.Points) + (V.Points == 1 ? " point" : " points");
    if (V.CountedMultiplier())
        Text += ", new multiplier " + std::string(Scored.NewMultiplier(V).Area());
    return Text;
}

struct TScoreOptions {
    TLogJobOptions Job;
    std::string Order;
    int ExchangeTokens = 0;
    bool Json = false, Qsos = false, Needed = false, Check = false;
    std::optional<TContest> Contest; // --contest
};

void PrintQsosText(std::ostream& Out, const TLogJob& Job) {
    const std::vector<TLogQSO>& Qsos = Job.Read.QSOs;
    for (std::size_t I = 0; I < Qsos.size(); ++I)
        Out << Job.Log << ":" << Qsos[I].Line << ": " << Qsos[I].Call << " " << Qsos[I].Band << " "
            << Qsos[I].Mode << " " << logformats::Quoted(Qsos[I].Exchange) << ": "
            << VerdictText(*Job.Scored, Job.Verdicts[I]) << "\n";
}

TJson ScoreJson(const TLogJob& Job, const TScoreOptions& O) {
    const TLogScore& Scored = *Job.Scored;
    TJson Result = SummaryJson(Scored);
    if (O.Qsos) {
        const std::vector<TLogQSO>& Qsos = Job.Read.QSOs;
        TJson List = TJson::array();
        for (std::size_t I = 0; I < Qsos.size(); ++I) {
            const TVerdict& V = Job.Verdicts[I];
            TJson Qso = {{"line", Qsos[I].Line},
                         {"call", LogText(Qsos[I].Call)},
                         {"band", LogText(Qsos[I].Band)},
                         {"mode", LogText(Qsos[I].Mode)},
                         {"exchange", LogText(Qsos[I].Exchange)},
                         {"points", V.Points}};
            if (V.Duplicate()) Qso["duplicate_of"] = V.DuplicateOf;
            if (V.CountedMultiplier())
                Qso["new_multiplier"] = LogText(Scored.NewMultiplier(V).Area());
            List.push_back(std::move(Qso));
        }
        Result["qsos"] = std::move(List);
    }
    if (O.Needed) {
        TJson List = TJson::array();
        for (std::string_view Band : BandLabels)
            List.push_back({{"band", LogText(Band)}, {"areas", LogTextList(Scored.Needed(Band))}});
        Result["needed"] = std::move(List);
    }
    return Result;
}

void PrintNeededText(std::ostream& Out, const TLogScore& Scored) {
    Out << "\nAreas still needed:\n";
    for (std::string_view Band : BandLabels) {
        Out << PadLeft(Band, 4, ' ') << ":";
        const std::vector<std::string> Needed = Scored.Needed(Band);
        if (Needed.empty()) Out << " none";
        for (const std::string& Area : Needed)
            Out << " " << Area;
        Out << "\n";
    }
}

TJson FindingsJson(const std::vector<TEntryFinding>& Findings) {
    TJson List = TJson::array();
    for (const TEntryFinding& F : Findings) {
        TJson Item = {{"line", F.Line}, {"message", LogText(F.Message)}};
        if (F.Flag) Item["flag"] = std::string(EntryFlagName(*F.Flag));
        List.push_back(std::move(Item));
    }
    return List;
}

// What an entrant runs before sending: a line a finding, and a last line
// saying whether the log is fit to send. Lines that could not be read were
// told already and count too.
int PrintCheck(std::ostream& Out, const TLogJob& Job, const std::vector<TEntryFinding>& Findings) {
    for (const TEntryFinding& F : Findings)
        Out << Job.Log << ":" << F.Line << ": " << F.Message << "\n";
    const std::size_t Unread = Job.Read.Problems.size();
    if (Findings.empty() && Unread == 0) {
        Out << Job.Log << ": fit to send: the header holds to Cabrillo 3 and every line was read\n";
        return 0;
    }
    Out << Job.Log << ": not fit to send: " << Findings.size()
        << (Findings.size() == 1 ? " finding" : " findings");
    if (Unread > 0) Out << ", " << Unread << (Unread == 1 ? " line" : " lines") << " not read";
    Out << "\n";
    return 1;
}

int ScoreLog(const TScoreOptions& O, std::ostream& Out, std::ostream& Err) {
    const TLogJob Job = RunLogJob(O.Job, Err);
    const TContest* Contest = O.Contest ? &*O.Contest : nullptr;
    if (O.Check && O.Json) {
        TJson Result = ScoreJson(Job, O);
        const std::vector<TEntryFinding> Findings = CheckLogEntry(Job, Contest);
        Result["check"] = {{"findings", FindingsJson(Findings)},
                           {"fit_to_send", Findings.empty() && Job.Read.Problems.empty()}};
        Out << Dump(Result) << "\n";
        return Findings.empty() ? Job.ExitCode() : 1;
    }
    if (O.Check) return PrintCheck(Out, Job, CheckLogEntry(Job, Contest));
    if (O.Json) {
        Out << Dump(ScoreJson(Job, O)) << "\n";
    } else {
        if (O.Qsos) {
            PrintQsosText(Out, Job);
            Out << "\n";
        }
        Out << PlatformLines(Job.Scored->Summary()) << "\n";
        if (O.Needed) PrintNeededText(Out, *Job.Scored);
    }
    return Job.ExitCode();
}

int CheckAreasFile(const std::string& Path, std::ostream& Out) {
    const logformats::TAreaCheck Check = logformats::CheckAreaList(ReadTextFile(Path));
    for (const logformats::TLogProblem& F : Check.Findings)
        Out << Path << ":" << F.Line << ": " << F.Message << "\n";
    const std::size_t N = Check.Counting.size();
    Out << N << (N == 1 ? " area counts" : " areas count") << "\n";
    return Check.Findings.empty() ? 0 : 1;
}

// Each option's words for a value missing or wrong, said in place of CLI11's
// message, which names the option first.
class TOptionWords {
public:
    CLI::Option* operator()(CLI::Option* Option, std::string Words) {
        for (const std::string& Name : Option->get_lnames())
            ByName["--" + Name] = ByName[Name] = Words;
        for (const std::string& Name : Option->get_snames())
            ByName["-" + Name] = Words;
        return Option;
    }
    std::string For(const CLI::ParseError& Error) const {
        const std::string Text = Error.what();
        const auto Found = ByName.find(Text.substr(0, Text.find_first_of(": ")));
        return Found == ByName.end() ? Text : Found->second;
    }

private:
    std::map<std::string, std::string> ByName;
};

const CLI::Validator NotEmpty(
    [](std::string& Value) { return Value.empty() ? std::string("empty") : std::string(); }, "");

// The arguments a command left over: options it does not know, or a second
// file where it takes one.
void RejectLeftOver(const CLI::App& Command, const char* Second) {
    const std::vector<std::string> Extra = Command.remaining();
    for (const std::string& Arg : Extra)
        if (Arg.size() > 1 && Arg[0] == '-') throw TUsageError("unknown option " + Arg);
    if (Second && !Extra.empty())
        throw TUsageError(std::string(Second) + "; " + Extra.front() + " is a second one");
}

int Run(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    CLI::App App("Scores contest logs with the Brevlund DX Contest plug-in's own engine and "
                 "checks area lists.",
                 "brevlund");
    App.set_version_flag("--version", std::string("brevlund ") + BREVLUND_VERSION);
    App.require_subcommand(1);
    App.allow_extras();
    TOptionWords Words;
    const auto Flag = [&](CLI::App* Command, const char* Name, bool& Value, const char* Help) {
        Words(Command->add_flag(Name, Value, Help)->disable_flag_override(),
              std::string(Name) + " takes no value");
    };
    const auto ContestOption = [&](CLI::App* Command, std::optional<std::string>& Contest,
                                   const char* Help) {
        Words(Command->add_option("--contest", Contest, Help)
                  ->type_name("NAME|FILE")
                  ->check(NotEmpty),
              "--contest needs a built-in name (--contest list) or a definition file");
    };
    const auto AreasOption = [&](CLI::App* Command, std::optional<std::string>& Areas,
                                 const char* Help) {
        Words(Command->add_option("--areas", Areas, Help)->type_name("FILE")->check(NotEmpty),
              "--areas needs a file");
    };

    TScoreOptions O;
    CLI::App* Score =
        App.add_subcommand("score", "Score a log and print the statistics window's summary");
    Score->footer("LOG is Cabrillo (.log, .cbr), ADIF (.adi, .adif), the logging program's "
                  "database (.db, .sqlite, .sqlite3)\nor CSV (.csv: call;band;mode;exchange); "
                  "under another name, Cabrillo or ADIF by its content.\nExit 0: all read; 1: "
                  "some lines could not be read (with --check: or the check found\nsomething); 2: "
                  "nothing scored.");
    Score->allow_extras();
    Score->add_option("LOG", O.Job.Log, "the log file")->type_name("")->required();
    AreasOption(Score, O.Job.Areas, "the area list (default: brevlund.dom beside the log)");
    Words(Score->add_option("--table", O.Job.Read.Table, "the database's log table (default: Log)")
              ->type_name("NAME")
              ->check(NotEmpty),
          "--table needs a table name");
    Words(Score
              ->add_option("--order", O.Order,
                           "log: as logged, as _AddQSO scores them (default for files); call: in "
                           "call order, as the log rescan (default for a database)")
              ->type_name("log|call")
              ->check(CLI::IsMember({"log", "call"})),
          "--order is log or call");
    Words(Score
              ->add_option("--exchange-tokens", O.ExchangeTokens,
                           "Cabrillo: tokens in each exchange (default: from each line)")
              ->type_name("K")
              ->check(CLI::Range(1, 999)),
          "--exchange-tokens needs a whole number from 1 to 999");
    std::optional<std::string> ScoreContest;
    ContestOption(Score, ScoreContest,
                  "read the log's exchanges as this contest's definition lays "
                  "them out: a built-in name or a JSON file");
    Flag(Score, "--json", O.Json, "print one JSON object");
    Flag(Score, "--qsos", O.Qsos, "list every QSO with its verdict first");
    Flag(Score, "--needed", O.Needed, "add the areas still needed per band");
    Flag(Score, "--check", O.Check,
         "check the log before sending it: its Cabrillo 3 header, CLAIMED-SCORE, the QSOs' "
         "times against the contest's period (with --contest) and bands against a single-band "
         "category; exit 1 when anything is found");

    std::string AreaFile;
    CLI::App* Check = App.add_subcommand(
        "check-areas", "Report the lines of an area list that never count or mislead");
    Check->allow_extras();
    Check->add_option("FILE", AreaFile, "the area list")->type_name("")->required();

    TReportOptions Page;
    CLI::App* ReportCommand = App.add_subcommand(
        "report", "Write a self-contained page with charts of a scored log (offline, one file)");
    ReportCommand->allow_extras();
    ReportCommand->add_option("LOG", Page.Job.Log, "the log file, in any format score reads")
        ->type_name("")
        ->required();
    AreasOption(ReportCommand, Page.Job.Areas,
                "the area list (default: brevlund.dom beside the log)");
    std::optional<std::string> ReportContest;
    ContestOption(ReportCommand, ReportContest,
                  "read the log's exchanges as this contest's definition lays them out");
    Words(ReportCommand
              ->add_option("-o,--output", Page.Output,
                           "the page (default: the log's name with .html; - for standard output)")
              ->type_name("FILE.html")
              ->check(NotEmpty),
          "-o needs a file");

    TCheckLogsOptions Sponsor;
    CLI::App* CheckLogsCommand = App.add_subcommand(
        "check-logs", "Check every log against every other: the sponsor's checked scores");
    CheckLogsCommand->footer(
        "A folder means every log in it, Cabrillo or ADIF by its name or its content; other\n"
        "files are passed over. A log that cannot be checked is a \"not checked\" row with the\n"
        "reason. The area list is brevlund.dom beside the first log (or in the folder) unless\n"
        "--areas names one.");
    CheckLogsCommand->allow_extras();
    CheckLogsCommand->add_option("LOG", Sponsor.Inputs, "logs, or folders of them")
        ->type_name("")
        ->required();
    AreasOption(CheckLogsCommand, Sponsor.Areas, "the area list");
    std::optional<std::string> SponsorContest;
    ContestOption(CheckLogsCommand, SponsorContest,
                  "the contest's definition: a built-in name or a JSON file (default: "
                  "brevlund-dx; \"list\" lists the built-in ones)");
    Words(CheckLogsCommand
              ->add_option("--tolerance", Sponsor.ToleranceMinutes,
                           "how far two logs' times may differ (default: 3)")
              ->type_name("MINUTES")
              ->check(CLI::Range(0, 9999)),
          "--tolerance needs a whole number from 0 to 9999");
    Words(CheckLogsCommand
              ->add_option("--penalty", Sponsor.Penalty,
                           "also deduct this many times a QSO's points for each not-in-log and "
                           "busted call (default: 0)")
              ->type_name("QSOS")
              ->check(CLI::Range(0, 9999)),
          "--penalty needs a whole number from 0 to 9999");
    Flag(CheckLogsCommand, "--json", Sponsor.Json, "print one JSON object");
    Words(CheckLogsCommand
              ->add_option("--out", Sponsor.OutDir, "write CALL.txt per log and results.csv there")
              ->type_name("DIR")
              ->check(NotEmpty),
          "--out needs a folder");

    TResultsOptions Site;
    CLI::App* ResultsCommand = App.add_subcommand(
        "results", "Check every log and write the sponsor's results site: pages, CSV, JSON");
    ResultsCommand->footer("The logs are checked as check-logs checks them. The site opens "
                           "offline: index.html,\nresults.csv, results.json and CALL.html and "
                           "CALL.txt per entrant.");
    ResultsCommand->allow_extras();
    ResultsCommand->add_option("LOG", Site.Check.Inputs, "logs, or folders of them")
        ->type_name("")
        ->required();
    AreasOption(ResultsCommand, Site.Check.Areas, "the area list");
    std::optional<std::string> SiteContest;
    ContestOption(ResultsCommand, SiteContest,
                  "the contest's definition: a built-in name or a JSON file (default: "
                  "brevlund-dx)");
    Words(ResultsCommand->add_option("--out", Site.Check.OutDir, "the folder (default: results)")
              ->type_name("DIR")
              ->check(NotEmpty),
          "--out needs a folder");
    Words(ResultsCommand->add_option("--title", Site.Title, "the page title")
              ->type_name("TEXT")
              ->check(NotEmpty),
          "--title needs a text");

    try {
        App.parse(std::vector<std::string>(Args.rbegin(), Args.rend()));
    } catch (const CLI::CallForHelp&) {
        Out << App.help();
        return 0;
    } catch (const CLI::CallForAllHelp&) {
        Out << App.help("", CLI::AppFormatMode::All);
        return 0;
    } catch (const CLI::CallForVersion&) {
        Out << App.version() << "\n";
        return 0;
    } catch (const CLI::RequiredError&) {
        // A command without its file, or no command at all.
        if (Score->parsed()) throw TUsageError("score needs a log file");
        if (ReportCommand->parsed()) throw TUsageError("report needs a log file");
        if (CheckLogsCommand->parsed() && SponsorContest == "list") {
            Out << ContestList();
            return 0;
        }
        if (CheckLogsCommand->parsed()) throw TUsageError("check-logs needs logs or a folder");
        if (ResultsCommand->parsed()) throw TUsageError("results needs logs or a folder");
        if (Check->parsed()) throw TUsageError("check-areas needs one area list file");
        if (!App.remaining().empty()) throw TUsageError("unknown command " + App.remaining()[0]);
        throw TUsageError("a command is needed");
    } catch (const CLI::ParseError& E) {
        throw TUsageError(Words.For(E));
    }
    RejectLeftOver(App, "unknown");

    if (Score->parsed()) {
        RejectLeftOver(*Score, "one log at a time");
        if (O.Job.Log.empty()) throw TUsageError("score needs a log file");
        O.Job.TableGiven = Score->count("--table") > 0;
        O.Job.TokensGiven = Score->count("--exchange-tokens") > 0;
        if (O.Job.TokensGiven && ScoreContest)
            throw TUsageError("--exchange-tokens and --contest: give one or the other");
        if (O.Job.TokensGiven) O.Job.Read.Layout = {O.ExchangeTokens, O.ExchangeTokens, true};
        if (ScoreContest) {
            O.Contest = LoadContest(*ScoreContest);
            O.Job.Read.Layout = LayoutOf(*O.Contest);
        }
        if (!O.Order.empty()) O.Job.ByCall = O.Order == "call";
        if (O.Check && !O.Json && (O.Qsos || O.Needed))
            throw TUsageError("--check prints its findings alone: give --qsos and --needed "
                              "without it, or add --json for all of it");
        // The summary alone needs no QSO once it is scored.
        O.Job.KeepQsos = O.Qsos || O.Check;
        return ScoreLog(O, Out, Err);
    }
    if (ReportCommand->parsed()) {
        RejectLeftOver(*ReportCommand, "one log at a time");
        if (Page.Job.Log.empty()) throw TUsageError("report needs a log file");
        if (ReportContest) {
            Page.Contest = LoadContest(*ReportContest);
            Page.Job.Read.Layout = LayoutOf(*Page.Contest);
        }
        return Report(Page, Out, Err);
    }
    if (CheckLogsCommand->parsed()) {
        if (SponsorContest == "list") {
            Out << ContestList();
            return 0;
        }
        RejectLeftOver(*CheckLogsCommand, nullptr);
        if (SponsorContest) Sponsor.Contest = LoadContest(*SponsorContest);
        return CheckLogs(Sponsor, Out, Err);
    }
    if (ResultsCommand->parsed()) {
        RejectLeftOver(*ResultsCommand, nullptr);
        if (SiteContest) Site.Check.Contest = LoadContest(*SiteContest);
        return Results(Site, Out, Err);
    }
    if (!Check->remaining().empty() || AreaFile.empty() || AreaFile[0] == '-')
        throw TUsageError("check-areas needs one area list file");
    return CheckAreasFile(AreaFile, Out);
}

} // namespace

int Main(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    return Guarded(Err, [&] { return Run(Args, Out, Err); });
}

} // namespace brevlund::cli
