#include "Commands.h"
#include "CheckLogs.h"

#include "Json.h"
#include "LogFiles.h"
#include "LogScore.h"
#include "Report.h"

#include "engine/Scoring.h"
#include "logformats/AreaCheck.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <exception>
#include <optional>
#include <ostream>
#include <tuple>

namespace brevlund::cli {

namespace {

using logformats::TLogQSO;
using logformats::TLogRead;

const char* const HelpHint =
    "run \"brevlund --help\" or \"brevlund COMMAND --help\" for the options";

// A usage error: the message, where help is, exit 2.
int UsageError(std::ostream& Err, const std::string& Message) {
    Err << "brevlund: " << Message << "\n" << HelpHint << "\n";
    return 2;
}

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

std::string VerdictText(const TVerdict& V) {
    if (V.Points < 0)
        return V.DuplicateOf ? "duplicate of line " + std::to_string(V.DuplicateOf)
                             : std::string("duplicate");
    std::string Text = std::to_string(V.Points) + (V.Points == 1 ? " point" : " points");
    if (!V.NewArea.empty()) Text += ", new multiplier " + V.NewArea;
    return Text;
}

struct TScoreOptions {
    std::string Log, Areas, Table = "Log", Order, Tokens;
    std::optional<bool> ByCall;
    int ExchangeTokens = 0;
    bool AreasGiven = false, TableGiven = false, TokensGiven = false;
    bool Json = false, Qsos = false, Needed = false;
};

// The checks CLI11 cannot word as the tool does; an empty text when all is well.
std::string CheckScoreOptions(TScoreOptions& O) {
    if (O.TableGiven && O.Table.empty()) return "--table needs a table name";
    if (!O.Order.empty() || O.ByCall) {
        if (O.Order != "log" && O.Order != "call") return "--order is log or call";
        O.ByCall = O.Order == "call";
    }
    if (O.TokensGiven) {
        if (O.Tokens.empty() || O.Tokens.size() > 3 ||
            O.Tokens.find_first_not_of("0123456789") != std::string::npos ||
            std::stoi(O.Tokens) < 1)
            return "--exchange-tokens needs a whole number from 1 to 999";
        O.ExchangeTokens = std::stoi(O.Tokens);
    }
    return {};
}

void PrintQsosText(std::ostream& Out, const std::string& Log, const std::vector<TLogQSO>& Qsos,
                   const std::vector<TVerdict>& Verdicts) {
    for (std::size_t I = 0; I < Qsos.size(); ++I)
        Out << Log << ":" << Qsos[I].Line << ": " << Qsos[I].Call << " " << Qsos[I].Band << " "
            << Qsos[I].Mode << " " << logformats::Quoted(Qsos[I].Exchange) << ": "
            << VerdictText(Verdicts[I]) << "\n";
}

TJson ScoreJson(const TLogScore& Scored, const TScoreOptions& O, const std::vector<TLogQSO>& Qsos,
                const std::vector<TVerdict>& Verdicts) {
    TJson Result = SummaryJson(Scored);
    if (O.Qsos) {
        TJson List = TJson::array();
        for (std::size_t I = 0; I < Qsos.size(); ++I) {
            const TVerdict& V = Verdicts[I];
            TJson Qso = {{"line", Qsos[I].Line},
                         {"call", Latin1(Qsos[I].Call)},
                         {"band", Latin1(Qsos[I].Band)},
                         {"mode", Latin1(Qsos[I].Mode)},
                         {"exchange", Latin1(Qsos[I].Exchange)},
                         {"points", V.Points}};
            if (V.Points < 0) Qso["duplicate_of"] = V.DuplicateOf;
            if (!V.NewArea.empty()) Qso["new_multiplier"] = Latin1(V.NewArea);
            List.push_back(std::move(Qso));
        }
        Result["qsos"] = std::move(List);
    }
    if (O.Needed) {
        TJson List = TJson::array();
        for (std::string_view Band : BandLabels)
            List.push_back({{"band", Latin1(Band)}, {"areas", Latin1List(Scored.Needed(Band))}});
        Result["needed"] = std::move(List);
    }
    return Result;
}

void PrintNeededText(std::ostream& Out, const TLogScore& Scored) {
    Out << "\nAreas still needed:\n";
    for (std::string_view Band : BandLabels) {
        Out << std::string(4 - Band.size(), ' ') << Band << ":";
        const std::vector<std::string> Needed = Scored.Needed(Band);
        if (Needed.empty()) Out << " none";
        for (const std::string& Area : Needed)
            Out << " " << Area;
        Out << "\n";
    }
}

int ScoreLog(TScoreOptions& O, std::ostream& Out, std::ostream& Err) {
    if (!O.AreasGiven) O.Areas = FolderOf(O.Log) + "brevlund.dom";

    const std::optional<TLogFormat> Format = FormatOf(O.Log);
    if (!Format) return Failure(Err, UnknownFormatMessage(O.Log));
    if (O.TableGiven && *Format != TLogFormat::Sqlite)
        return UsageError(Err, "--table applies to SQLite logs only");
    if (O.TokensGiven && *Format != TLogFormat::Cabrillo)
        return UsageError(Err, "--exchange-tokens applies to Cabrillo logs only");
    // Files are scored as logged; a database as the rescan orders it.
    const bool ByCall = O.ByCall.value_or(*Format == TLogFormat::Sqlite);

    std::string Error;
    TReadOptions ReadOptions;
    ReadOptions.Table = O.Table;
    ReadOptions.ByCall = ByCall;
    ReadOptions.ExchangeTokens = O.ExchangeTokens;
    std::optional<TLogRead> Got = ReadLog(O.Log, *Format, ReadOptions, Error);
    if (!Got) return Failure(Err, Error);
    TLogRead& Read = *Got;

    TAreaList Areas;
    if (!Areas.LoadFromFile(O.Areas)) {
        if (O.AreasGiven) {
            ReadWholeFile(O.Areas, Error);
            return Failure(Err, Error.empty() ? "cannot read " + O.Areas : Error);
        }
        Err << "brevlund: no area list at " << O.Areas
            << ": no area counts as a multiplier (name one with --areas)\n";
    }

    for (const logformats::TLogProblem& P : Read.Problems)
        Err << O.Log << ":" << P.Line << ": " << P.Message << "\n";
    for (const logformats::TLogProblem& W : Read.Warnings)
        Err << O.Log << ":" << W.Line << ": warning: " << W.Message << "\n";

    std::vector<TLogQSO>& Qsos = Read.QSOs;
    if (ByCall && *Format != TLogFormat::Sqlite)
        std::stable_sort(Qsos.begin(), Qsos.end(), [](const TLogQSO& A, const TLogQSO& B) {
            return A.Call < B.Call; // byte order: char_traits<char> compares unsigned
        });
    TLogScore Scored(Areas);
    const std::vector<TVerdict> Verdicts = ScoreInLogOrder(Scored, Qsos);

    if (O.Json) {
        Out << Dump(ScoreJson(Scored, O, Qsos, Verdicts)) << "\n";
    } else {
        if (O.Qsos) {
            PrintQsosText(Out, O.Log, Qsos, Verdicts);
            Out << "\n";
        }
        Out << PlatformLines(Scored.Summary()) << "\n";
        if (O.Needed) PrintNeededText(Out, Scored);
    }
    return Read.Problems.empty() ? 0 : 1;
}

int CheckAreasFile(const std::string& Path, std::ostream& Out, std::ostream& Err) {
    std::string Error;
    const std::optional<std::string> Text = ReadWholeFile(Path, Error);
    if (!Text) return Failure(Err, Error);
    const logformats::TAreaCheck Check = logformats::CheckAreaList(*Text);
    for (const logformats::TLogProblem& F : Check.Findings)
        Out << Path << ":" << F.Line << ": " << F.Message << "\n";
    const std::size_t N = Check.Counting.size();
    Out << N << (N == 1 ? " area counts" : " areas count") << "\n";
    return Check.Findings.empty() ? 0 : 1;
}

// What a command asks of its arguments, in the tool's own words where CLI11's
// would puzzle an operator; CLI11's message otherwise.
struct TWording {
    const char* Option;
    const char* Message;
};
constexpr TWording OptionWords[] = {
    {"--exchange-tokens", "--exchange-tokens needs a whole number from 1 to 999"},
    {"--areas", "--areas needs a file"},
    {"--table", "--table needs a table name"},
    {"--order", "--order is log or call"},
    {"--json", "--json takes no value"},
    {"--qsos", "--qsos takes no value"},
    {"--needed", "--needed takes no value"},
    {"--tolerance", "--tolerance needs a whole number from 0 to 9999"},
    {"--penalty", "--penalty needs a whole number from 0 to 9999"},
    {"--output", "-o needs a file"}, // before "--out", which it contains
    {"--out", "--out needs a folder"},
    {"-o", "-o needs a file"},
};

std::string Worded(const CLI::Error& E) {
    const std::string Text = E.what();
    for (const TWording& W : OptionWords) {
        // CLI11 names an option with its dashes, or a flag by its bare name.
        const std::string Bare = std::string(W.Option + 2) + " ";
        if (Text.find(W.Option) != std::string::npos || Text.rfind(Bare, 0) == 0) return W.Message;
    }
    return Text;
}

// The arguments a command left over: options it does not know, or a second
// file where it takes one.
std::string LeftOver(const std::vector<std::string>& Extra, const char* Second) {
    for (const std::string& Arg : Extra)
        if (Arg.size() > 1 && Arg[0] == '-') return "unknown option " + Arg;
    return std::string(Second) + "; " + Extra.front() + " is a second one";
}

int Run(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    CLI::App App("Scores contest logs with the Brevlund DX Contest plug-in's own engine and "
                 "checks area lists.",
                 "brevlund");
    App.set_version_flag("--version", std::string("brevlund ") + BREVLUND_VERSION);
    App.require_subcommand(1);
    App.allow_extras();

    TScoreOptions O;
    CLI::App* Score =
        App.add_subcommand("score", "Score a log and print the statistics window's summary");
    Score->footer("LOG is Cabrillo (.log, .cbr), ADIF (.adi, .adif), the logging program's "
                  "database (.db, .sqlite, .sqlite3)\nor CSV (.csv: call;band;mode;exchange). "
                  "Exit 0: all read; 1: some lines could not be read;\n2: nothing scored.");
    Score->allow_extras();
    Score->add_option("LOG", O.Log, "the log file")->type_name("");
    Score->add_option("--areas", O.Areas, "the area list (default: brevlund.dom beside the log)")
        ->type_name("FILE");
    Score->add_option("--table", O.Table, "the database's log table (default: Log)")
        ->type_name("NAME");
    Score
        ->add_option("--order", O.Order,
                     "log: as logged, as _AddQSO scores them (default for files); call: in call "
                     "order, as the log rescan (default for a database)")
        ->type_name("log|call");
    Score
        ->add_option("--exchange-tokens", O.Tokens,
                     "Cabrillo: tokens in each exchange (default: from each line)")
        ->type_name("K");
    Score->add_flag("--json", O.Json, "print one JSON object")->disable_flag_override();
    Score->add_flag("--qsos", O.Qsos, "list every QSO with its verdict first")
        ->disable_flag_override();
    Score->add_flag("--needed", O.Needed, "add the areas still needed per band")
        ->disable_flag_override();

    std::string AreaFile;
    CLI::App* Check = App.add_subcommand(
        "check-areas", "Report the lines of an area list that never count or mislead");
    Check->allow_extras();
    Check->add_option("FILE", AreaFile, "the area list")->type_name("");

    TReportOptions Page;
    CLI::App* ReportCommand = App.add_subcommand(
        "report", "Write a self-contained page with charts of a scored log (offline, one file)");
    ReportCommand->allow_extras();
    ReportCommand->add_option("LOG", Page.Log, "the log file, in any format score reads")
        ->type_name("");
    ReportCommand
        ->add_option("--areas", Page.Areas, "the area list (default: brevlund.dom beside the log)")
        ->type_name("FILE");
    ReportCommand
        ->add_option("-o,--output", Page.Output,
                     "the page (default: the log's name with .html; - for standard output)")
        ->type_name("FILE.html");

    TCheckLogsOptions Sponsor;
    std::string Tolerance, Penalty;
    CLI::App* CheckLogsCommand = App.add_subcommand(
        "check-logs", "Check every log against every other: the sponsor's checked scores");
    CheckLogsCommand->footer("A folder means every .log and .cbr file in it. The area list is "
                             "brevlund.dom beside the first\nlog (or in the folder) unless --areas "
                             "names one.");
    CheckLogsCommand->allow_extras();
    CheckLogsCommand->add_option("LOG", Sponsor.Inputs, "Cabrillo logs, or folders of them")
        ->type_name("");
    CheckLogsCommand->add_option("--areas", Sponsor.Areas, "the area list")->type_name("FILE");
    CheckLogsCommand
        ->add_option("--tolerance", Tolerance, "how far two logs' times may differ (default: 3)")
        ->type_name("MINUTES");
    CheckLogsCommand
        ->add_option("--penalty", Penalty,
                     "also deduct this many times a QSO's points for each not-in-log and busted "
                     "call (default: 0)")
        ->type_name("QSOS");
    CheckLogsCommand->add_flag("--json", Sponsor.Json, "print one JSON object")
        ->disable_flag_override();
    CheckLogsCommand
        ->add_option("--out", Sponsor.OutDir, "write CALL.txt per log and results.csv there")
        ->type_name("DIR");

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
        if (!App.remaining().empty())
            return UsageError(Err, "unknown command " + App.remaining()[0]);
        return UsageError(Err, "a command is needed");
    } catch (const CLI::ParseError& E) {
        return UsageError(Err, Worded(E));
    }
    if (!App.remaining().empty()) return UsageError(Err, LeftOver(App.remaining(), "unknown"));

    if (Score->parsed()) {
        if (!Score->remaining().empty())
            return UsageError(Err, LeftOver(Score->remaining(), "one log at a time"));
        if (O.Log.empty()) return UsageError(Err, "score needs a log file");
        O.AreasGiven = Score->count("--areas") > 0;
        O.TableGiven = Score->count("--table") > 0;
        O.TokensGiven = Score->count("--exchange-tokens") > 0;
        if (const std::string Problem = CheckScoreOptions(O); !Problem.empty())
            return UsageError(Err, Problem);
        return ScoreLog(O, Out, Err);
    }
    if (ReportCommand->parsed()) {
        if (!ReportCommand->remaining().empty())
            return UsageError(Err, LeftOver(ReportCommand->remaining(), "one log at a time"));
        if (Page.Log.empty()) return UsageError(Err, "report needs a log file");
        if (ReportCommand->count("--areas") > 0 && Page.Areas.empty())
            return UsageError(Err, "--areas needs a file");
        if (ReportCommand->count("-o") > 0 && Page.Output.empty())
            return UsageError(Err, "-o needs a file");
        Page.AreasGiven = ReportCommand->count("--areas") > 0;
        return Report(Page, Out, Err);
    }
    if (CheckLogsCommand->parsed()) {
        for (const std::string& Arg : CheckLogsCommand->remaining())
            if (Arg.size() > 1 && Arg[0] == '-') return UsageError(Err, "unknown option " + Arg);
        const auto Given = [&](const char* Name) { return CheckLogsCommand->count(Name) > 0; };
        if (Given("--areas") && Sponsor.Areas.empty())
            return UsageError(Err, "--areas needs a file");
        if (Given("--out") && Sponsor.OutDir.empty())
            return UsageError(Err, "--out needs a folder");
        for (auto [Name, Text, Value] :
             {std::tuple("--tolerance", &Tolerance, &Sponsor.ToleranceMinutes),
              std::tuple("--penalty", &Penalty, &Sponsor.Penalty)}) {
            if (!Given(Name)) continue;
            if (Text->empty() || Text->size() > 4 ||
                Text->find_first_not_of("0123456789") != std::string::npos)
                return UsageError(Err, std::string(Name) + " needs a whole number from 0 to 9999");
            *Value = std::stoi(*Text);
        }
        Sponsor.AreasGiven = Given("--areas");
        return CheckLogs(Sponsor, Out, Err);
    }
    if (!Check->remaining().empty() || AreaFile.empty() || AreaFile[0] == '-')
        return UsageError(Err, "check-areas needs one area list file");
    return CheckAreasFile(AreaFile, Out, Err);
}

} // namespace

int Main(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    return Guarded(Err, [&] { return Run(Args, Out, Err); });
}

} // namespace brevlund::cli
