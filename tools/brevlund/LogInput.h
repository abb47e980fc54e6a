// A log file as every brevlund command takes it in: the format from the
// file's name or content, the encoding, the reading; the area list beside the
// log. Each step that cannot go on throws TNothingDone (TLogRefused for the
// log itself) with the reason in the user's words.
#pragma once

#include "engine/AreaList.h"
#include "logformats/Cabrillo.h"
#include "logformats/LogRecord.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace brevlund::cli {

enum class TLogFormat { Cabrillo, Adif, Sqlite, Csv };

// The format named by the file's extension, in any letter case; nothing for
// an unknown one.
std::optional<TLogFormat> FormatOf(const std::string& Path);

// The folder part of a path with its separator, or empty.
std::string FolderOf(const std::string& Path);

// The whole file's bytes, or TLogRefused saying why not ("cannot read F: ...").
std::string ReadTextFile(const std::string& Path);

// A log's text as the readers take it: single bytes. A byte-order mark says
// the file is UTF-16 (little or big end first) or UTF-8; such text is decoded,
// each character to its Latin-1 byte, or to "?" where Latin-1 has none (and
// for bytes that are no such text). Text without a mark is taken as it is.
struct TLogText {
    std::string Text;
    const char* Encoding = nullptr; // "UTF-16LE", "UTF-16BE", "UTF-8"; null: as it is
    std::size_t Replaced = 0;       // the first line where a character became "?", or 0
};
TLogText DecodeLogText(std::string Bytes);

// The format of a log's text by its content: Cabrillo for a START-OF-LOG: or
// QSO: line, ADIF for <EOH>, <EOR> or <CALL:; nothing for any other text, and
// for text that is empty, binary or UTF-16 without a byte-order mark.
std::optional<TLogFormat> FormatOfText(std::string_view Text);

// A log as every command takes it in. Its format, by one rule: the file's
// extension when it names one, else the file's content.
struct TLogSource {
    std::string Path;
    TLogFormat Format = TLogFormat::Cabrillo;
    std::optional<TLogText> Text; // read already when the content told the format
};
// The log named; TLogRefused when it cannot be read or neither its name nor
// its content tells its format.
TLogSource OpenLog(const std::string& Path);
// A file found in a folder of logs: nothing when it is no Cabrillo or ADIF
// log by its name or content (the area list, notes, a contest's definition, a
// results file), so that it is passed over; TLogRefused when it cannot be
// read, or looks like a log that cannot be read (UTF-16 without a mark).
std::optional<TLogSource> LogInFolder(const std::string& Path);

struct TReadOptions {
    std::string Table = "Log";     // SQLite only
    bool ByCall = false;           // SQLite: the rescan's statement, else the table's own order
    logformats::TQsoLayout Layout; // Cabrillo only: the exchanges' tokens
};

// Reads the log, or TLogRefused (TNothingDone) when it cannot be had at all (a
// missing file, a database error, no SQLite here) or the file is no log of its
// format: empty, binary or UTF-16 without a byte-order mark, the other format,
// no QSO found. The readers warn of every band and mode outside the known
// ones, and of characters decoded to "?". With a sink, the QSOs go there as
// they are read (TQsoSink). The source's text is let go.
logformats::TLogRead ReadLog(TLogSource Source, const TReadOptions& Options,
                             logformats::TQsoSink* Sink = nullptr);

// The area list that belongs to a log, or to a folder of logs: brevlund.dom
// beside the log, or in the folder.
std::string AreaListBeside(const std::string& LogOrFolder);

// The area list in the file, or TNothingDone with the reason it cannot be read.
TAreaList ReadAreaList(const std::string& Path);

} // namespace brevlund::cli
