// Cabrillo reader: the first byte picks the exchange token count (0: from each
// line's count), the rest is the log. Every field of a QSO stands where the
// line's count of tokens puts it: the call is a call, a last token beyond two
// exchanges of one length is a transmitter id 0 or 1, nothing after
// END-OF-LOG: and no comment line is scored.
#include "LogFuzzCheck.h"

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
    bool Letter = false, Digit = false;
    for (char C : Word) {
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

// A QSO against the line it came from: S sent and K received tokens as the
// layout gives them where the line's count fits it, else K each way.
void CheckQso(const TLogQSO& Q, const std::vector<std::string_view>& Words,
              const TQsoLayout& Layout) {
    const std::size_t Rest = Words.size() - 5;
    FUZZ_CHECK(Rest >= 4);
    const std::size_t LaidOut = 2 + static_cast<std::size_t>(Layout.Sent + Layout.Received);
    const bool Fits =
        Layout.Sent > 0 && Layout.Received > 0 && (Rest == LaidOut || Rest == LaidOut + 1);
    FUZZ_CHECK(Fits || !Layout.Strict || Layout.Sent == 0 || Layout.Received == 0);
    const std::size_t S = Fits ? static_cast<std::size_t>(Layout.Sent) : (Rest - 2) / 2;
    const std::size_t K = Fits ? static_cast<std::size_t>(Layout.Received) : (Rest - 2) / 2;
    FUZZ_CHECK(K >= 1 && S >= 1);
    if (Rest != 2 + S + K) FUZZ_CHECK(Words.back() == "0" || Words.back() == "1");
    FUZZ_CHECK(Q.MyCall == Words[5]);
    FUZZ_CHECK(Q.Sent == Joined(Words, 6, S));
    FUZZ_CHECK(Q.Call == Words[6 + S] && IsCall(Q.Call));
    FUZZ_CHECK(Q.Exchange == Joined(Words, 7 + S, K));
    FUZZ_CHECK(!Q.Mode.empty() && Q.Mode == CabrilloMode(Words[2]));
    FUZZ_CHECK(Q.Mode.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos);
    FUZZ_CHECK(Q.Frequency == Words[1] && Q.Date == Words[3] && Q.Time == Words[4]);
    auto Band = BandOfKHz(Words[1]);
    if (!Band) Band = BandOfCode(Words[1]);
    FUZZ_CHECK(Band ? Q.Band == *Band && IsContestBand(Q.Band) : Q.Band == Words[1]);
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

    // The line of END-OF-LOG:, after which nothing counts.
    std::size_t End = Lines.size() + 1;
    for (std::size_t I = 0; I < Lines.size() && End > Lines.size(); ++I) {
        const std::vector<std::string_view> Words = SplitWords(Lines[I]);
        if (!Words.empty() && Words[0][0] != '#' && Words[0].find(':') != std::string_view::npos &&
            Upper(Words[0].substr(0, Words[0].find(':') + 1)) == "END-OF-LOG:")
            End = I + 1;
    }

    std::set<std::size_t> Seen;
    for (const std::vector<TLogQSO>* List : {&Read.QSOs, &Read.XQSOs})
        for (const TLogQSO& Q : *List) {
            FUZZ_CHECK(Seen.insert(Q.Line).second); // one QSO a line
            FUZZ_CHECK(Q.Line < End);
            const std::vector<std::string_view> Words = SplitWords(Lines[Q.Line - 1]);
            const std::string Tag = Upper(Words[0]);
            FUZZ_CHECK(Tag == (List == &Read.QSOs ? "QSO:" : "X-QSO:"));
            CheckQso(Q, Words, Layout);
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
        if (Words[0][0] == '#') FUZZ_CHECK(Seen.count(I + 1) == 0);
    }
    // Warnings: one at most for what follows the end; the others at a QSO, for
    // a band or mode no contest knows.
    std::size_t AfterEnd = 0, LastLine = 0;
    for (const TLogProblem& W : Read.Warnings) {
        FUZZ_CHECK(W.Line >= LastLine);
        LastLine = W.Line;
        if (W.Line > End) {
            FUZZ_CHECK(W.Line <= Lines.size() && ++AfterEnd == 1);
            continue;
        }
        bool AtQso = false;
        for (const TLogQSO& Q : Read.QSOs)
            AtQso = AtQso || (Q.Line == W.Line && (!IsContestBand(Q.Band) || !IsKnownMode(Q.Mode)));
        FUZZ_CHECK(AtQso);
    }
    fuzz::CheckSinkRead(Read, [&](TQsoSink* Sink) { return ReadCabrillo(Text, Layout, Sink); });
    return 0;
}
