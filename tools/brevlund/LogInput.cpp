#include "LogInput.h"

#include "Diagnostics.h"

#ifndef _WIN32
#include "SqliteLog.h"
#endif

#include "engine/LogQuery.h"
#include "engine/Text.h"
#include "engine/WholeFile.h"
#include "logformats/Adif.h"
#include "logformats/Cabrillo.h"
#include "logformats/CsvLog.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

namespace brevlund::cli {

std::optional<TLogFormat> FormatOf(const std::string& Path) {
    const std::size_t Slash = Path.find_last_of("/\\");
    const std::size_t Dot = Path.rfind('.');
    if (Dot == std::string::npos || (Slash != std::string::npos && Dot < Slash))
        return std::nullopt;
    std::string Ext = Path.substr(Dot + 1);
    for (char& C : Ext)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    if (Ext == "log" || Ext == "cbr") return TLogFormat::Cabrillo;
    if (Ext == "adi" || Ext == "adif") return TLogFormat::Adif;
    if (Ext == "db" || Ext == "sqlite" || Ext == "sqlite3") return TLogFormat::Sqlite;
    if (Ext == "csv") return TLogFormat::Csv;
    return std::nullopt;
}

TLogFormat KnownFormatOf(const std::string& Path) {
    if (const std::optional<TLogFormat> Format = FormatOf(Path)) return *Format;
    throw TNothingDone("unknown log format of " + Path +
                       ": use .log or .cbr (Cabrillo), .adi or .adif (ADIF), .db, "
                       ".sqlite or .sqlite3 (SQLite), .csv");
}

std::string FolderOf(const std::string& Path) {
#ifdef _WIN32
    const std::size_t Slash = Path.find_last_of("/\\:");
#else
    const std::size_t Slash = Path.rfind('/');
#endif
    return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

std::string ReadTextFile(const std::string& Path) {
    const auto Unreadable = [&](const std::string& Why) {
        return TNothingDone("cannot read " + Path + (Why.empty() ? "" : ": " + Why));
    };
    struct stat Info {};
    if (stat(Path.c_str(), &Info) != 0) throw Unreadable(std::strerror(errno));
    if ((Info.st_mode & S_IFMT) == S_IFDIR) throw Unreadable("it is a folder");
    std::string Text;
    switch (ReadWholeFile(Path, Text)) {
    case TFileRead::Read:
        return Text;
    case TFileRead::NotOpened:
        throw Unreadable(std::strerror(errno));
    default:
        throw Unreadable("");
    }
}

namespace {

logformats::TLogRead ReadDatabase(const std::string& Path, const TReadOptions& Options,
                                  logformats::TQsoSink* Sink) {
#ifdef _WIN32
    (void)Path;
    (void)Options;
    (void)Sink;
    throw TNothingDone("SQLite logs cannot be scored by this Windows build of brevlund; "
                       "export the log as ADIF or Cabrillo, or use the Linux build");
#else
    // Opening a missing database would create it.
    struct stat Info {};
    if (stat(Path.c_str(), &Info) != 0)
        throw TNothingDone("cannot read " + Path + ": " + std::strerror(errno));
    if ((Info.st_mode & S_IFMT) != S_IFREG)
        throw TNothingDone("cannot read " + Path + ": not a file");
    try {
        return ReadSqliteLog(Path, Options.Table, Options.ByCall, Sink);
    } catch (const TDatabaseError& E) {
        throw TNothingDone(Path + ": " + E.what());
    }
#endif
}

bool StartsWithNoCase(std::string_view Text, std::string_view Start) {
    if (Text.size() < Start.size()) return false;
    return SameTextAscii(Text.substr(0, Start.size()), Start);
}

bool ContainsNoCase(std::string_view Text, std::string_view Part) {
    for (std::size_t At = Text.find('<'); At != std::string_view::npos; At = Text.find('<', At + 1))
        if (StartsWithNoCase(Text.substr(At), Part)) return true;
    return false;
}

bool LooksLikeAdif(std::string_view Text) {
    return ContainsNoCase(Text, "<EOR>") || ContainsNoCase(Text, "<EOH>") ||
           ContainsNoCase(Text, "<CALL:");
}

bool LooksLikeCabrillo(std::string_view Text) {
    bool Found = false;
    ForEachLine(Text, [&](std::size_t, std::string_view Line) {
        Line = Trim(Line);
        Found = Found || StartsWithNoCase(Line, "QSO:") || StartsWithNoCase(Line, "START-OF-LOG:");
    });
    return Found;
}

// Why a Cabrillo or ADIF file's text cannot be its log before reading it
// ("the file is empty", "binary or UTF-16 text, not a log"), or nothing.
std::optional<std::string> NotText(std::string_view Text) {
    if (std::all_of(Text.begin(), Text.end(), [](char C) { return IsBlank(C) && C != 0; }))
        return std::string("the file is empty: no QSOs to score");
    // UTF-16 has a NUL beside every ASCII character; text logs have none. Other
    // control characters than tab, line ends and form feed mark a binary file.
    const std::string_view Head = Text.substr(0, 65536);
    const bool Utf16Mark = Head.size() >= 2 && ((Head[0] == '\xFF' && Head[1] == '\xFE') ||
                                                (Head[0] == '\xFE' && Head[1] == '\xFF'));
    const std::size_t Controls =
        static_cast<std::size_t>(std::count_if(Head.begin(), Head.end(), [](char C) {
            const auto B = static_cast<unsigned char>(C);
            return B < 32 && B != '\t' && B != '\n' && B != '\r' && B != '\f' && B != 26;
        }));
    if (Utf16Mark || Text.find('\0') != std::string_view::npos || Controls * 100 > Head.size())
        return std::string("binary or UTF-16 text, not a log");
    return std::nullopt;
}

// Why the read of a Cabrillo or ADIF file is no log (no QSO, the other
// format's content), or nothing.
std::optional<std::string> NotALog(std::string_view Text, TLogFormat Format,
                                   const logformats::TLogRead& Read) {
    if (Read.QsoCount > 0) return std::nullopt;
    const bool Cabrillo = Format == TLogFormat::Cabrillo;
    if (Cabrillo && LooksLikeAdif(Text))
        return std::string("this looks like an ADIF log, not Cabrillo");
    if (!Cabrillo && LooksLikeCabrillo(Text))
        return std::string("this looks like a Cabrillo log, not ADIF");
    std::string Why =
        Cabrillo ? "no QSOs found: not a Cabrillo log?" : "no QSOs found: not an ADIF log?";
    if (!Read.Problems.empty()) {
        const logformats::TLogProblem& First = Read.Problems.front();
        const std::size_t N = Read.Problems.size();
        Why += " (" + std::to_string(N) + (N == 1 ? " line" : " lines") +
               " could not be read; the first, line " + std::to_string(First.Line) + ": " +
               First.Message + ")";
    }
    return Why;
}

} // namespace

logformats::TLogRead ReadLog(const std::string& Path, TLogFormat Format,
                             const TReadOptions& Options, logformats::TQsoSink* Sink) {
    if (Format == TLogFormat::Sqlite) return ReadDatabase(Path, Options, Sink);
    const std::string Text = ReadTextFile(Path);
    if (Format == TLogFormat::Csv) return logformats::ReadCsvLog(Text, Sink);
    if (const auto Why = NotText(Text)) throw TNothingDone(Path + ": " + *Why);
    logformats::TLogRead Read = Format == TLogFormat::Cabrillo
                                    ? logformats::ReadCabrillo(Text, Options.Layout, Sink)
                                    : logformats::ReadAdif(Text, Sink);
    if (const auto Why = NotALog(Text, Format, Read)) throw TNothingDone(Path + ": " + *Why);
    return Read;
}

std::string AreaListBeside(const std::string& LogOrFolder) {
    std::error_code Code;
    if (std::filesystem::is_directory(LogOrFolder, Code))
        return (std::filesystem::path(LogOrFolder) / "brevlund.dom").string();
    return FolderOf(LogOrFolder) + "brevlund.dom";
}

TAreaList ReadAreaList(const std::string& Path) {
    TAreaList Areas;
    Areas.SetLines(SplitLines(ReadTextFile(Path)));
    return Areas;
}

} // namespace brevlund::cli
