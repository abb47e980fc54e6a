#include "LogFiles.h"

#ifndef _WIN32
#include "SqliteLog.h"
#endif

#include "engine/LogQuery.h"
#include "engine/WholeFile.h"
#include "logformats/Adif.h"
#include "logformats/Cabrillo.h"
#include "logformats/CsvLog.h"

#include <cerrno>
#include <cstring>
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

std::string UnknownFormatMessage(const std::string& Path) {
    return "unknown log format of " + Path +
           ": use .log or .cbr (Cabrillo), .adi or .adif (ADIF), .db, "
           ".sqlite or .sqlite3 (SQLite), .csv";
}

std::string FolderOf(const std::string& Path) {
#ifdef _WIN32
    const std::size_t Slash = Path.find_last_of("/\\:");
#else
    const std::size_t Slash = Path.rfind('/');
#endif
    return Slash == std::string::npos ? std::string() : Path.substr(0, Slash + 1);
}

std::optional<std::string> ReadWholeFile(const std::string& Path, std::string& Error) {
    struct stat Info {};
    if (stat(Path.c_str(), &Info) != 0) {
        Error = "cannot read " + Path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if ((Info.st_mode & S_IFMT) == S_IFDIR) {
        Error = "cannot read " + Path + ": it is a folder";
        return std::nullopt;
    }
    std::string Text;
    switch (brevlund::ReadWholeFile(Path, Text)) {
    case TFileRead::Read:
        return Text;
    case TFileRead::NotOpened:
        Error = "cannot read " + Path + ": " + std::strerror(errno);
        return std::nullopt;
    default:
        Error = "cannot read " + Path;
        return std::nullopt;
    }
}

std::optional<logformats::TLogRead> ReadLog(const std::string& Path, TLogFormat Format,
                                            const TReadOptions& Options, std::string& Error) {
    if (Format == TLogFormat::Sqlite) {
#ifdef _WIN32
        (void)Options;
        Error = "SQLite logs cannot be scored by this Windows build of brevlund; "
                "export the log as ADIF or Cabrillo, or use the Linux build";
        return std::nullopt;
#else
        // Opening a missing database would create it.
        struct stat Info {};
        if (stat(Path.c_str(), &Info) != 0) {
            Error = "cannot read " + Path + ": " + std::strerror(errno);
            return std::nullopt;
        }
        if ((Info.st_mode & S_IFMT) != S_IFREG) {
            Error = "cannot read " + Path + ": not a file";
            return std::nullopt;
        }
        try {
            return ReadSqliteLog(Path, Options.Table, Options.ByCall);
        } catch (const TDatabaseError& E) {
            Error = Path + ": " + E.what();
            return std::nullopt;
        }
#endif
    }
    const std::optional<std::string> Text = ReadWholeFile(Path, Error);
    if (!Text) return std::nullopt;
    switch (Format) {
    case TLogFormat::Cabrillo:
        return logformats::ReadCabrillo(*Text, Options.ExchangeTokens);
    case TLogFormat::Adif:
        return logformats::ReadAdif(*Text);
    default:
        return logformats::ReadCsvLog(*Text);
    }
}

std::vector<TVerdict> ScoreInLogOrder(TLogScore& Scored,
                                      const std::vector<logformats::TLogQSO>& Qsos) {
    std::vector<TVerdict> Verdicts;
    Verdicts.reserve(Qsos.size());
    for (const logformats::TLogQSO& Qso : Qsos)
        Verdicts.push_back(Scored.Add(Qso));
    return Verdicts;
}

} // namespace brevlund::cli
