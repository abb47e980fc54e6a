// Cabrillo reader: the first byte picks the exchange layout (0: from each
// line's count) and whether it is strict, the rest is the log. Every field of
// a QSO stands where the layout or the line's own count of tokens puts it; a
// line that fits the layout is always read so, its call the token in the
// call's place in capitals, whatever it looks like; a line read from its own
// count has a call in that place; a last token beyond two exchanges of one
// length is a transmitter id 0 or 1; nothing after END-OF-LOG: and no comment
// line is scored. The log written as UTF-16 (either end first) or UTF-8 with
// its byte-order mark is decoded back to the same bytes and reads the same.
#include "LogFuzzCheck.h"

#include "Json.h"
#include "LogInput.h"
#include "Utf8.h"

#include "engine/Scoring.h"
#include "logformats/Bands.h"
#include "logformats/Cabrillo.h"

#include <cstdint>
#include <set>
#include <string>

using namespace brevlund;
using namespace brevlund::logformats;

namespace {

std::string Upper(std::string_view Word) {
    std::string Result(Word);
    for (char& C : Result)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    return Result;
}

bool IsCall(std::string_view Word) {
    const std::string Call = Upper(Word);
    bool Letter = false, Digit = false;
    for (char C : Call) {
        Letter = Letter || (C >= 'A' && C <= 'Z');
        Digit = Digit || (C >= '0' && C <= '9');
        if (!(C >= 'A' && C <= 'Z') && !(C >= '0' && C <= '9') && C != '/') return false;
    }
    return Letter && Digit;
}

std::string Joined(const std::vector<std::string_view>& Words, std::size_t From, std::size_t N) {
    std::string Text;
    for (std::size_t I = From; I < From + N; ++I)
        Text += (I > From ? " " : "") + std::string(Words[I]);
    return Text;
}

bool IsTransmitter(std::string_view Word) {
    return Word == "0" || Word == "1";
}

// Whether the line fits the layout: exactly its tokens, a transmitter id after them or not.
bool Fits(const std::vector<std::string_view>& Words, const TQsoLayout& Layout) {
    const std::size_t Rest = Words.size() - 5, LaidOut = 2 + Layout.Sent + Layout.Received;
    return Layout.Sent > 0 && Layout.Received > 0 &&
           (Rest == LaidOut || (Rest == LaidOut + 1 && IsTransmitter(Words.back())));
}

// The QSO is the line read with S sent and K received tokens.
bool ReadAs(const TLogQSO& Q, const std::vector<std::string_view>& Words, std::size_t S,
            std::size_t K) {
    return Q.MyCall == Upper(Words[5]) && Q.Sent == Joined(Words, 6, S) &&
           Q.Call == Upper(Words[6 + S]) && Q.Exchange == Joined(Words, 7 + S, K);
}

// A line's words as the rule has them, byte by byte (TokenBlankAt): the plain
// model of SplitWords, which decides ASCII in bulk.
std::vector<std::string_view> PlainWords(std::string_view Line) {
    std::vector<std::string_view> Words;
    bool Plain = true;
    std::size_t Start = 0;
    for (std::size_t At = 0; At < Line.size();) {
        if (const std::size_t Blank = TokenBlankAt(Line, At, Plain)) {
            if (At > Start) Words.push_back(Line.substr(Start, At - Start));
            At += Blank;
            Start = At;
            Plain = true;
        } else {
            Plain = static_cast<unsigned char>(Line[At++]) < 128;
        }
    }
    if (Line.size() > Start) Words.push_back(Line.substr(Start));
    return Words;
}

// A QSO against the line it came from, read by the layout or by the line's
// own count. Whether it was read by the layout with tokens over it.
bool CheckQso(const TLogQSO& Q, const std::vector<std::string_view>& Words,
              const TQsoLayout& Layout) {
    FUZZ_CHECK(Words.size() >= 9);
    const std::size_t Rest = Words.size() - 5;
    const std::size_t S = static_cast<std::size_t>(Layout.Sent);
    const std::size_t R = static_cast<std::size_t>(Layout.Received);
    const bool Laid = S > 0 && R > 0;
    const bool Over = Laid && !Fits(Words, Layout) && Rest > 2 + S + R;
    if (Laid && Rest >= 2 + S + R && ReadAs(Q, Words, S, R)) {
        // Tokens over the layout follow a call, or letters alone (a call
        // that lost its digit) with numbers after them.
        if (Over) {
            const std::string Slot = Upper(Words[6 + S]);
            const char* const Capitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
            const bool Letters =
                Slot.find_first_of(Capitals) != std::string::npos &&
                Slot.find_first_not_of(std::string(Capitals) + "/") == std::string::npos;
            bool Numbers = true;
            for (std::size_t I = 7 + S + R; I < Words.size(); ++I)
                Numbers = Numbers && Words[I].find_first_not_of("0123456789") == std::string::npos;
            FUZZ_CHECK(IsCall(Words[6 + S]) || (Letters && Numbers));
        }
    } else {
        FUZZ_CHECK(!Fits(Words, Layout) && !(Laid && Layout.Strict));
        const std::size_t K = (Rest - 2) / 2;
        if (Rest != 2 + 2 * K) FUZZ_CHECK(IsTransmitter(Words.back()));
        FUZZ_CHECK(K >= 1 && ReadAs(Q, Words, K, K) && IsCall(Words[6 + K]));
    }
    FUZZ_CHECK(Q.Call.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos);
    FUZZ_CHECK(!Q.Mode.empty() && Q.Mode == CabrilloMode(Words[2]));
    FUZZ_CHECK(Q.Mode.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos);
    FUZZ_CHECK(Q.Frequency == Words[1] && Q.Date == Words[3] && Q.Time == Words[4]);
    FUZZ_CHECK(MinuteOf(Q).has_value());
    auto Band = BandOfKHz(Words[1]);
    if (!Band) Band = BandOfCode(Words[1]);
    FUZZ_CHECK(Band ? Q.Band == *Band && IsContestBand(Q.Band) : Q.Band == Words[1]);
    return Over && ReadAs(Q, Words, S, R);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0) return 0;
    // The first byte: the layout (0 to 3 tokens each way) and whether it is strict.
    const TQsoLayout Layout{Data[0] % 4, Data[0] / 4 % 4, (Data[0] & 16) != 0};
    const std::string_view Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    TLogRead Read;
    try {
        Read = ReadCabrillo(Text, Layout);
    } catch (...) {
        FUZZ_CHECK(!"reading threw");
    }
    const std::vector<std::string_view> Lines = fuzz::LinesOf(Text);
    fuzz::CheckLines(Read, Lines.size());

    for (const std::string_view Line : Lines)
        FUZZ_CHECK(SplitWords(Line) == PlainWords(Line));

    // The line of END-OF-LOG:, after which nothing counts.
    std::size_t End = Lines.size() + 1;
    for (std::size_t I = 0; I < Lines.size() && End > Lines.size(); ++I) {
        const std::vector<std::string_view> Words = SplitWords(Lines[I]);
        if (!Words.empty() && Words[0][0] != '#' && Words[0].find(':') != std::string_view::npos &&
            Upper(Words[0].substr(0, Words[0].find(':') + 1)) == "END-OF-LOG:")
            End = I + 1;
    }

    std::set<std::size_t> Seen, ReadLines;
    std::size_t FirstOver = 0; // the first line read by the layout with tokens over it
    for (const std::vector<TLogQSO>* List : {&Read.QSOs, &Read.XQSOs})
        for (const TLogQSO& Q : *List) {
            FUZZ_CHECK(Seen.insert(Q.Line).second); // one QSO a line
            ReadLines.insert(Q.Line);
            FUZZ_CHECK(Q.Line < End);
            const std::vector<std::string_view> Words = SplitWords(Lines[Q.Line - 1]);
            const std::string Tag = Upper(Words[0]);
            FUZZ_CHECK(Tag == (List == &Read.QSOs ? "QSO:" : "X-QSO:"));
            if (CheckQso(Q, Words, Layout) && (FirstOver == 0 || Q.Line < FirstOver))
                FirstOver = Q.Line;
        }
    for (const TLogProblem& P : Read.Problems) {
        FUZZ_CHECK(Seen.insert(P.Line).second); // a line is read or reported, not both
        FUZZ_CHECK(P.Line < End);
    }
    // Every QSO line before the end is read or reported; comments are not.
    for (std::size_t I = 0; I + 1 < End; ++I) {
        const std::vector<std::string_view> Words = SplitWords(Lines[I]);
        if (Words.empty()) continue;
        const std::string Tag = Upper(Words[0]);
        if (Tag == "QSO:" || Tag == "X-QSO:") FUZZ_CHECK(Seen.count(I + 1) == 1);
        // A line that fits the layout is read, whatever its call's place
        // holds, when its date and time exist; when they do not, it is not.
        if ((Tag == "QSO:" || Tag == "X-QSO:") && Words.size() >= 5) {
            const bool When = ValidDate(Words[3]) && ValidTime(Words[4]);
            if (Fits(Words, Layout) && When) FUZZ_CHECK(ReadLines.count(I + 1) == 1);
            if (!When) FUZZ_CHECK(ReadLines.count(I + 1) == 0);
        }
        if (Words[0][0] == '#') FUZZ_CHECK(Seen.count(I + 1) == 0);
    }
    // Warnings: one at most for what follows the end, one for tokens over the
    // layout at the first such line; the others at a QSO, for a band or mode
    // no contest knows or a call that looks like none.
    std::size_t AfterEnd = 0, Overs = 0, LastLine = 0;
    for (const TLogProblem& W : Read.Warnings) {
        FUZZ_CHECK(W.Line >= LastLine);
        LastLine = W.Line;
        if (W.Line > End) {
            FUZZ_CHECK(W.Line <= Lines.size() && ++AfterEnd == 1);
            continue;
        }
        if (W.Message.find("points column") != std::string::npos) {
            FUZZ_CHECK(W.Line == FirstOver && ++Overs == 1);
            continue;
        }
        bool AtQso = false;
        for (const TLogQSO& Q : Read.QSOs)
            AtQso = AtQso || (Q.Line == W.Line &&
                              (!IsContestBand(Q.Band) || !IsKnownMode(Q.Mode) || !IsCall(Q.Call)));
        for (const TLogQSO& Q : Read.XQSOs)
            AtQso = AtQso || (Q.Line == W.Line && !IsCall(Q.Call));
        FUZZ_CHECK(AtQso);
    }
    FUZZ_CHECK(Overs == (FirstOver > 0));
    fuzz::CheckSinkRead(Read, [&](TQsoSink* Sink) { return ReadCabrillo(Text, Layout, Sink); });

    // Every byte a Latin-1 character, written in each encoding with its mark.
    std::string Encoded[3] = {"\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
    for (const char C : Text) {
        const auto Code = static_cast<unsigned char>(C);
        Encoded[0] += {C, '\0'};
        Encoded[1] += {'\0', C};
        if (Code < 0x80)
            Encoded[2] += C;
        else
            Encoded[2] +=
                {static_cast<char>(0xC0 | Code >> 6), static_cast<char>(0x80 | (Code & 0x3F))};
    }
    // Shown in UTF-8: as it is where it is UTF-8, else each byte as Latin-1.
    const std::string Shown = cli::LogTextToUtf8(Text);
    FUZZ_CHECK(cli::IsUtf8(Shown) && cli::LogTextToUtf8(Shown) == Shown);
    FUZZ_CHECK(Shown == (cli::IsUtf8(Text) ? std::string(Text) : Encoded[2].substr(3)));
    for (std::string& Bytes : Encoded) {
        const cli::TLogText Decoded = cli::DecodeLogText(std::move(Bytes));
        FUZZ_CHECK(Decoded.Text == Text && Decoded.Encoding && Decoded.Replaced == 0);
        FUZZ_CHECK(fuzz::SameRead(Read, ReadCabrillo(Decoded.Text, Layout)));
    }
    // Any bytes: a "?" where a character could not be had, on a line there is.
    const cli::TLogText Decoded = cli::DecodeLogText(std::string(Text));
    FUZZ_CHECK(Decoded.Text.size() <= Text.size());
    FUZZ_CHECK(Decoded.Encoding || (Decoded.Text == Text && Decoded.Replaced == 0));
    if (Decoded.Replaced > 0) {
        const std::vector<std::string_view> Got = fuzz::LinesOf(Decoded.Text);
        FUZZ_CHECK(Decoded.Replaced <= Got.size() &&
                   Got[Decoded.Replaced - 1].find('?') != std::string_view::npos);
    }
    return 0;
}
