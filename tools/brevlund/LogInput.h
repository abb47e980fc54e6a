// A log file as every brevlund command takes it in: the format from the
// file's name, the encoding, the reading; the area list beside the log. Each
// step that cannot go on throws TNothingDone with the reason in the user's
// words.
#pragma once

#include "engine/AreaList.h"
#include "logformats/Cabrillo.h"
#include "logformats/LogRecord.h"

#include <optional>
#include <string>
#include <string_view>

namespace brevlund::cli {

enum class TLogFormat { Cabrillo, Adif, Sqlite, Csv };

// The format named by the file's extension, in any letter case; nothing for
// an unknown one.
std::optional<TLogFormat> FormatOf(const std::string& Path);
// The same, or TNothingDone naming the formats known.
TLogFormat KnownFormatOf(const std::string& Path);

// The folder part of a path with its separator, or empty.
std::string FolderOf(const std::string& Path);

// The whole file's bytes, or TNothingDone saying why not ("cannot read F: ...").
std::string ReadTextFile(const std::string& Path);

struct TReadOptions {
    std::string Table = "Log";     // SQLite only
    bool ByCall = false;           // SQLite: the rescan's statement, else the table's own order
    logformats::TQsoLayout Layout; // Cabrillo only: the exchanges' tokens
};

// Reads a log of the given format, or TNothingDone when it cannot be had at all
// (a missing file, a database error, no SQLite here) or the file is no log of
// its format: empty, binary or UTF-16, the other format, no QSO found. The
// readers warn of every band and mode outside the known ones. With a sink,
// the QSOs go there as they are read (TQsoSink).
logformats::TLogRead ReadLog(const std::string& Path, TLogFormat Format,
                             const TReadOptions& Options, logformats::TQsoSink* Sink = nullptr);

// The area list that belongs to a log, or to a folder of logs: brevlund.dom
// beside the log, or in the folder.
std::string AreaListBeside(const std::string& LogOrFolder);

// The area list in the file, or TNothingDone with the reason it cannot be read.
TAreaList ReadAreaList(const std::string& Path);

} // namespace brevlund::cli
