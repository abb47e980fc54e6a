#include "Commands.h"

#include "LogFiles.h"
#include "LogScore.h"

#include "engine/Scoring.h"
#include "logformats/AreaCheck.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <ostream>

namespace brevlund::cli {

namespace {

using logformats::TLogQSO;
using logformats::TLogRead;

const char* const Usage =
    "usage: brevlund score LOG [--areas FILE] [--table NAME] [--order log|call]\n"
    "                          [--exchange-tokens K] [--json] [--qsos] [--needed]\n"
    "       brevlund check-areas FILE\n"
    "LOG is Cabrillo (.log, .cbr), ADIF (.adi, .adif), SQLite (.db, .sqlite, .sqlite3)\n"
    "or CSV (.csv: call;band;mode;exchange). The area list is brevlund.dom in the\n"
    "log's folder unless --areas names one.\n";

// A usage error: the message, the usage, exit 2.
int UsageError(std::ostream& Err, const std::string& Message) {
    Err << "brevlund: " << Message << "\n" << Usage;
    return 2;
}

int Failure(std::ostream& Err, const std::string& Message) {
    Err << "brevlund: " << Message << "\n";
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

// JSON text; bytes above 127 are taken as Latin-1, as single-byte logs have them.
std::string Json(std::string_view Text) {
    std::string Result = "\"";
    for (char C : Text) {
        const auto B = static_cast<unsigned char>(C);
        if (B == '"' || B == '\\') {
            Result += '\\';
            Result += C;
        } else if (B < 32 || B > 126) {
            char Escape[8];
            std::snprintf(Escape, sizeof Escape, "\\u%04x", B);
            Result += Escape;
        } else {
            Result += C;
        }
    }
    return Result + "\"";
}

std::string JsonList(const std::vector<std::string>& Items) {
    std::string Result = "[";
    for (std::size_t I = 0; I < Items.size(); ++I)
        Result += (I ? "," : "") + Json(Items[I]);
    return Result + "]";
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
    std::string Log, Areas, Table = "Log";
    std::optional<bool> ByCall;
    int ExchangeTokens = 0;
    bool AreasGiven = false, TableGiven = false, TokensGiven = false;
    bool Json = false, Qsos = false, Needed = false;
};

// Parses the arguments after "score"; an empty optional means a usage error,
// already reported.
std::optional<TScoreOptions> ParseScore(const std::vector<std::string>& Args, std::ostream& Err,
                                        int& Code) {
    TScoreOptions O;
    for (std::size_t I = 0; I < Args.size(); ++I) {
        std::string Arg = Args[I], Value;
        bool HasValue = false;
        if (Arg.rfind("--", 0) == 0) {
            if (const std::size_t Eq = Arg.find('='); Eq != std::string::npos) {
                Value = Arg.substr(Eq + 1);
                Arg.resize(Eq);
                HasValue = true;
            }
        }
        const auto TakeValue = [&]() -> bool {
            if (HasValue) return true;
            if (I + 1 >= Args.size()) return false;
            Value = Args[++I];
            return true;
        };
        const auto Bad = [&](const std::string& Message) {
            Code = UsageError(Err, Message);
            return std::nullopt;
        };
        if (Arg == "--json" || Arg == "--qsos" || Arg == "--needed") {
            if (HasValue) return Bad(Arg + " takes no value");
            (Arg == "--json" ? O.Json : Arg == "--qsos" ? O.Qsos : O.Needed) = true;
        } else if (Arg == "--areas") {
            if (!TakeValue()) return Bad("--areas needs a file");
            O.Areas = Value;
            O.AreasGiven = true;
        } else if (Arg == "--table") {
            if (!TakeValue() || Value.empty()) return Bad("--table needs a table name");
            O.Table = Value;
            O.TableGiven = true;
        } else if (Arg == "--order") {
            if (!TakeValue() || (Value != "log" && Value != "call"))
                return Bad("--order is log or call");
            O.ByCall = Value == "call";
        } else if (Arg == "--exchange-tokens") {
            if (!TakeValue() || Value.empty() || Value.size() > 3 ||
                Value.find_first_not_of("0123456789") != std::string::npos || std::stoi(Value) < 1)
                return Bad("--exchange-tokens needs a whole number from 1 to 999");
            O.ExchangeTokens = std::stoi(Value);
            O.TokensGiven = true;
        } else if (Arg.size() > 1 && Arg[0] == '-') {
            return Bad("unknown option " + Arg);
        } else if (O.Log.empty()) {
            O.Log = Arg;
        } else {
            return Bad("one log at a time; " + Arg + " is a second one");
        }
    }
    if (O.Log.empty()) {
        Code = UsageError(Err, "score needs a log file");
        return std::nullopt;
    }
    if (!O.AreasGiven) O.Areas = FolderOf(O.Log) + "brevlund.dom";
    Code = 0;
    return O;
}

void PrintQsosText(std::ostream& Out, const std::string& Log, const std::vector<TLogQSO>& Qsos,
                   const std::vector<TVerdict>& Verdicts) {
    for (std::size_t I = 0; I < Qsos.size(); ++I)
        Out << Log << ":" << Qsos[I].Line << ": " << Qsos[I].Call << " " << Qsos[I].Band << " "
            << Qsos[I].Mode << " " << logformats::Quoted(Qsos[I].Exchange) << ": "
            << VerdictText(Verdicts[I]) << "\n";
}

void PrintJson(std::ostream& Out, const TLogScore& Scored, const TScoreOptions& O,
               const std::vector<TLogQSO>& Qsos, const std::vector<TVerdict>& Verdicts) {
    std::int64_t QSOs = 0, Points = 0, Multipliers = 0;
    Out << "{\"bands\":[";
    const auto& Stats = Scored.Tally().BandStats;
    for (std::size_t I = 0; I < Stats.size(); ++I) {
        const TStatistic& S = Stats[I];
        Out << (I ? "," : "") << "{\"band\":" << Json(S.Band) << ",\"qsos\":" << S.QSOs
            << ",\"points\":" << S.Points << ",\"multipliers\":" << S.Multipliers
            << ",\"areas\":" << JsonList(Scored.AreasOf(S)) << "}";
        QSOs += S.QSOs;
        Points += S.Points;
        Multipliers += S.Multipliers;
    }
    Out << "],\"total\":{\"qsos\":" << QSOs << ",\"points\":" << Points
        << ",\"multipliers\":" << Multipliers << "},\"score\":" << Points * Multipliers;
    if (O.Qsos) {
        Out << ",\"qsos\":[";
        for (std::size_t I = 0; I < Qsos.size(); ++I) {
            const TVerdict& V = Verdicts[I];
            Out << (I ? "," : "") << "{\"line\":" << Qsos[I].Line
                << ",\"call\":" << Json(Qsos[I].Call) << ",\"band\":" << Json(Qsos[I].Band)
                << ",\"mode\":" << Json(Qsos[I].Mode) << ",\"exchange\":" << Json(Qsos[I].Exchange)
                << ",\"points\":" << V.Points;
            if (V.Points < 0) Out << ",\"duplicate_of\":" << V.DuplicateOf;
            if (!V.NewArea.empty()) Out << ",\"new_multiplier\":" << Json(V.NewArea);
            Out << "}";
        }
        Out << "]";
    }
    if (O.Needed) {
        Out << ",\"needed\":[";
        for (std::size_t I = 0; I < BandLabels.size(); ++I)
            Out << (I ? "," : "") << "{\"band\":" << Json(BandLabels[I])
                << ",\"areas\":" << JsonList(Scored.Needed(BandLabels[I])) << "}";
        Out << "]";
    }
    Out << "}\n";
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

int ScoreOrFail(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    int Code = 0;
    std::optional<TScoreOptions> Parsed = ParseScore(Args, Err, Code);
    if (!Parsed) return Code;
    TScoreOptions& O = *Parsed;

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
        PrintJson(Out, Scored, O, Qsos, Verdicts);
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

int CheckAreasOrFail(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    if (Args.size() != 1 || Args[0].empty() || Args[0][0] == '-')
        return UsageError(Err, "check-areas needs one area list file");
    std::string Error;
    const std::optional<std::string> Text = ReadWholeFile(Args[0], Error);
    if (!Text) return Failure(Err, Error);
    const logformats::TAreaCheck Check = logformats::CheckAreaList(*Text);
    for (const logformats::TLogProblem& F : Check.Findings)
        Out << Args[0] << ":" << F.Line << ": " << F.Message << "\n";
    const std::size_t N = Check.Counting.size();
    Out << N << (N == 1 ? " area counts" : " areas count") << "\n";
    return Check.Findings.empty() ? 0 : 1;
}

// Nothing may escape a command: an unexpected failure is exit 2 with its text.
template <typename Command>
int Guarded(Command Run, const std::vector<std::string>& Args, std::ostream& Out,
            std::ostream& Err) {
    try {
        return Run(Args, Out, Err);
    } catch (const std::exception& E) {
        return Failure(Err, E.what());
    } catch (...) {
        return Failure(Err, "unexpected failure");
    }
}

} // namespace

int Score(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    return Guarded(ScoreOrFail, Args, Out, Err);
}

int CheckAreas(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    return Guarded(CheckAreasOrFail, Args, Out, Err);
}

int Main(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
    if (Args.empty()) return UsageError(Err, "a command is needed");
    const std::vector<std::string> Rest(Args.begin() + 1, Args.end());
    if (Args[0] == "score") return Score(Rest, Out, Err);
    if (Args[0] == "check-areas") return CheckAreas(Rest, Out, Err);
    if (Args[0] == "--help" || Args[0] == "-h" || Args[0] == "help") {
        Out << Usage;
        return 0;
    }
    return UsageError(Err, "unknown command " + Args[0]);
}

} // namespace brevlund::cli
