#include "LogInput.h"

#include "Diagnostics.h"

#ifndef _WIN32
#include "SqliteLog.h"
#endif
#include "Utf8.h"

#include "engine/LogQuery.h"
#include "engine/Text.h"
#include "engine/WholeFile.h"
#include "logformats/Adif.h"
#include "logformats/Cabrillo.h"
#include "logformats/CsvLog.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
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
        const std::string Colon = Why.empty() ? "" : ": " + Why;
        return TLogRefused("cannot read " + Path + Colon, "cannot read the file" + Colon);
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

TLogText DecodeLogText(std::string Bytes) {
    TLogText Result;
    const auto Marked = [&](std::string_view Mark) {
        return std::string_view(Bytes).substr(0, Mark.size()) == Mark;
    };
    std::size_t In = 0;
    bool Utf8 = false, Little = false;
    if (Marked("\xEF\xBB\xBF")) {
        Result.Encoding = "UTF-8";
        In = 3;
        Utf8 = true;
    } else if (Marked("\xFF\xFE")) {
        Result.Encoding = "UTF-16LE";
        In = 2;
        Little = true;
    } else if (Marked("\xFE\xFF")) {
        Result.Encoding = "UTF-16BE";
        In = 2;
    } else {
        Result.Text = std::move(Bytes);
        return Result;
    }
    // Decoded in place: every character takes at least as many bytes as it
    // gives, so the write never overtakes the read.
    constexpr std::uint32_t None = 0x110000; // no character: bytes that are no such text
    constexpr std::size_t NotYet = std::string::npos;
    const std::size_t Size = Bytes.size();
    std::size_t Out = 0, FirstReplaced = NotYet;
    const auto Put = [&](std::uint32_t Code) {
        if (Code > 0xFF) {
            if (FirstReplaced == NotYet) FirstReplaced = Out;
            Code = '?';
        }
        Bytes[Out++] = static_cast<char>(Code);
    };
    const auto Byte = [&](std::size_t At) { return static_cast<unsigned char>(Bytes[At]); };
    if (Utf8) {
        while (In < Size) {
            const TUtf8Char C = Utf8CharAt(std::string_view(Bytes).substr(In));
            Put(C.Code); // NotAChar is beyond Latin-1 too
            In += C.Length;
        }
    } else {
        const auto Unit = [&](std::size_t At) -> std::uint32_t {
            return Little ? Byte(At) | Byte(At + 1) << 8 : Byte(At) << 8 | Byte(At + 1);
        };
        for (; In + 1 < Size; In += 2) {
            const std::uint32_t Code = Unit(In);
            // A pair of surrogates is one character, beyond Latin-1 in any case.
            if (Code >= 0xD800 && Code <= 0xDBFF && In + 3 < Size && Unit(In + 2) >= 0xDC00 &&
                Unit(In + 2) <= 0xDFFF)
                In += 2;
            Put(Code >= 0xD800 && Code <= 0xDFFF ? None : Code);
        }
        if (In < Size) Put(None); // half a character at the end
    }
    Bytes.resize(Out);
    Result.Text = std::move(Bytes);
    if (FirstReplaced != NotYet) Result.Replaced = TLineNumbers(Result.Text).LineOf(FirstReplaced);
    return Result;
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
    if (stat(Path.c_str(), &Info) != 0) {
        const std::string Why = std::strerror(errno);
        throw TLogRefused("cannot read " + Path + ": " + Why, "cannot read the file: " + Why);
    }
    if ((Info.st_mode & S_IFMT) != S_IFREG)
        throw TLogRefused("cannot read " + Path + ": not a file",
                          "cannot read the file: not a file");
    try {
        return ReadSqliteLog(Path, Options.Table, Options.ByCall, Sink);
    } catch (const TDatabaseError& E) {
        throw TLogRefused(Path + ": " + E.what(), E.what());
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

// Whether a line of the text begins with one of the tags.
bool HasCabrilloLine(std::string_view Text, std::initializer_list<std::string_view> Tags) {
    bool Found = false;
    ForEachLine(Text, [&](std::size_t, std::string_view Line) {
        if (Found) return;
        Line = Trim(Line);
        for (std::string_view Tag : Tags)
            Found = Found || StartsWithNoCase(Line, Tag);
    });
    return Found;
}

bool LooksLikeCabrillo(std::string_view Text) {
    return HasCabrilloLine(Text, {"QSO:", "START-OF-LOG:"});
}

// UTF-16 without a byte-order mark: a NUL beside nearly every other byte, on
// one side. The side of the NULs, 1 when the high bytes come second (little
// end first), 0 when first; nothing for other text.
std::optional<int> Utf16WithoutMark(std::string_view Head) {
    std::size_t Nuls[2] = {0, 0};
    for (std::size_t I = 0; I < Head.size(); ++I)
        Nuls[I % 2] += Head[I] == '\0';
    const std::size_t Pairs = Head.size() / 2;
    const int Side = Nuls[1] >= Nuls[0] ? 1 : 0;
    if (Pairs < 2 || Nuls[Side] * 10 < Pairs * 4 || Nuls[1 - Side] * 8 > Nuls[Side])
        return std::nullopt;
    return Side;
}

const char* const NoMark = "UTF-16 text without a byte-order mark, not read: save the log as "
                           "UTF-8, or as UTF-16 with a byte-order mark";

// Why a Cabrillo or ADIF file's text cannot be its log before reading it
// ("the file is empty", "binary data, not a log"), or nothing.
std::optional<std::string> NotText(std::string_view Text) {
    if (std::all_of(Text.begin(), Text.end(), [](char C) { return IsBlank(C) && C != 0; }))
        return std::string("the file is empty: no QSOs to score");
    // Text logs hold no NUL. Other control characters than tab, line ends and
    // form feed mark a binary file.
    const std::string_view Head = Text.substr(0, 65536);
    if (Utf16WithoutMark(Head)) return std::string(NoMark);
    const std::size_t Controls =
        static_cast<std::size_t>(std::count_if(Head.begin(), Head.end(), [](char C) {
            const auto B = static_cast<unsigned char>(C);
            return B < 32 && B != '\t' && B != '\n' && B != '\r' && B != '\f' && B != 26;
        }));
    if (Text.find('\0') != std::string_view::npos || Controls * 100 > Head.size())
        return std::string("binary data, not a log");
    return std::nullopt;
}

// Whether the text, taken for UTF-16 without a byte-order mark, would be a log.
bool LogWithoutMark(std::string_view Text) {
    const std::optional<int> Side = Utf16WithoutMark(Text.substr(0, 65536));
    if (!Side) return false;
    const TLogText Decoded =
        DecodeLogText((*Side == 1 ? "\xFF\xFE" : "\xFE\xFF") + std::string(Text));
    return FormatOfText(Decoded.Text).has_value();
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

// The log a file's content says it is, or nothing; TLogRefused when it cannot
// be read, or would be a log but for its encoding.
std::optional<TLogSource> ByContent(const std::string& Path) {
    TLogText Text = DecodeLogText(ReadTextFile(Path));
    if (const std::optional<TLogFormat> Format = FormatOfText(Text.Text))
        return TLogSource{Path, *Format, std::move(Text)};
    if (LogWithoutMark(Text.Text)) throw TLogRefused(Path + ": " + NoMark, NoMark);
    return std::nullopt;
}

} // namespace

std::optional<TLogFormat> FormatOfText(std::string_view Text) {
    if (NotText(Text)) return std::nullopt;
    if (HasCabrilloLine(Text, {"START-OF-LOG:"})) return TLogFormat::Cabrillo;
    if (LooksLikeAdif(Text)) return TLogFormat::Adif;
    if (HasCabrilloLine(Text, {"QSO:"})) return TLogFormat::Cabrillo;
    return std::nullopt;
}

TLogSource OpenLog(const std::string& Path) {
    if (const std::optional<TLogFormat> Format = FormatOf(Path)) return {Path, *Format, {}};
    if (std::optional<TLogSource> Source = ByContent(Path)) return std::move(*Source);
    const std::string Known =
        "name it .log or .cbr (Cabrillo), .adi or .adif (ADIF), .db, .sqlite or .sqlite3 "
        "(SQLite) or .csv; its content is no Cabrillo log (no START-OF-LOG: or QSO: line) and "
        "no ADIF log (no <EOH>, <EOR> or <CALL:)";
    throw TLogRefused("unknown log format of " + Path + ": " + Known,
                      "unknown log format: " + Known);
}

std::optional<TLogSource> LogInFolder(const std::string& Path) {
    if (const std::optional<TLogFormat> Format = FormatOf(Path)) {
        // A database or the call;band;mode;exchange lines are the logging
        // program's own, not logs sent to a sponsor (results.csv among them).
        if (*Format == TLogFormat::Cabrillo || *Format == TLogFormat::Adif)
            return TLogSource{Path, *Format, {}};
        return std::nullopt;
    }
    return ByContent(Path);
}

logformats::TLogRead ReadLog(TLogSource Source, const TReadOptions& Options,
                             logformats::TQsoSink* Sink) {
    const std::string& Path = Source.Path;
    if (Source.Format == TLogFormat::Sqlite) return ReadDatabase(Path, Options, Sink);
    // The host's own lines, byte for byte as the plug-in would get them.
    if (Source.Format == TLogFormat::Csv) return logformats::ReadCsvLog(ReadTextFile(Path), Sink);
    const TLogText Text = Source.Text ? std::move(*Source.Text) : DecodeLogText(ReadTextFile(Path));
    Source.Text.reset();
    if (const auto Why = NotText(Text.Text)) throw TLogRefused(Path + ": " + *Why, *Why);
    logformats::TLogRead Read = Source.Format == TLogFormat::Cabrillo
                                    ? logformats::ReadCabrillo(Text.Text, Options.Layout, Sink)
                                    : logformats::ReadAdif(Text.Text, Sink);
    if (const auto Why = NotALog(Text.Text, Source.Format, Read))
        throw TLogRefused(Path + ": " + *Why, *Why, logformats::LogCallOf(Read));
    if (Text.Replaced > 0) {
        const logformats::TLogProblem Replaced{
            Text.Replaced, std::string("the file is ") + Text.Encoding +
                               " text: characters that single-byte text lacks are read as \"?\", "
                               "the first on this line"};
        auto& Warnings = Read.Warnings;
        Warnings.insert(
            std::upper_bound(Warnings.begin(), Warnings.end(), Replaced,
                             [](const auto& A, const auto& B) { return A.Line < B.Line; }),
            Replaced);
    }
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
