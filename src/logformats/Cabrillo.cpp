#include "Cabrillo.h"
#include "engine/Text.h"

#include "Bands.h"

#include <string>

namespace brevlund::logformats {

namespace {

void Join(const std::vector<std::string_view>& Words, std::size_t From, std::size_t Count,
          std::string& Text) {
    Text.clear();
    for (std::size_t I = From; I < From + Count; ++I) {
        if (I > From) Text += ' ';
        Text.append(Words[I]);
    }
}

// A call as logs write it: capitals, digits and "/", at least one letter and
// one digit. Keeps a token of an exchange ("001", "599", "CT") from being
// taken for the call when a line lacks a token.
bool IsCall(std::string_view Word) {
    bool Letter = false, Digit = false;
    for (char C : Word) {
        if (C >= 'A' && C <= 'Z')
            Letter = true;
        else if (C >= '0' && C <= '9')
            Digit = true;
        else if (C != '/')
            return false;
    }
    return Letter && Digit;
}

bool IsTransmitter(std::string_view Word) {
    return Word == "0" || Word == "1";
}

std::string Quote(std::string_view Word) {
    return "\"" + std::string(Word) + "\"";
}

// The QSO of one "QSO:" line, or the reason it has none. Each field comes from
// the place the layout gives it when the line's count of tokens fits it, else
// from the place the line's own count gives it, or the line is reported.
bool ReadQsoLine(const std::vector<std::string_view>& Words, const TQsoLayout& Layout, TLogQSO& Qso,
                 std::string& Problem) {
    // Words[0] is the tag; freq, mode, date and time follow.
    if (Words.size() < 5) {
        Problem = "QSO line ends before the frequency, mode, date and time";
        return false;
    }
    const std::size_t Rest = Words.size() - 5;
    bool Odd = Rest % 2 == 1;
    std::size_t K = 0, Sent = 0;
    if (Layout.Sent > 0 && Layout.Received > 0) {
        Sent = static_cast<std::size_t>(Layout.Sent);
        K = static_cast<std::size_t>(Layout.Received);
        const std::size_t Expected = 2 + Sent + K;
        const bool Fits = Rest == Expected || Rest == Expected + 1;
        if (!Fits && Layout.Strict) {
            Problem = "expected " + std::to_string(Expected) + " or " +
                      std::to_string(Expected + 1) + " tokens after the time (my call, " +
                      std::to_string(Sent) + " sent, call, " + std::to_string(K) +
                      " received, transmitter 0 or 1), found " + std::to_string(Rest);
            return false;
        }
        if (Fits) Odd = Rest == Expected + 1;
        if (!Fits) Sent = K = 0;
    }
    if (K == 0) {
        if (Rest < (Odd ? 5u : 4u)) {
            Problem = "QSO line needs my call, the sent exchange, the call and the received "
                      "exchange after the time; found " +
                      std::to_string(Rest) + " tokens";
            return false;
        }
        K = Sent = (Rest - (Odd ? 3 : 2)) / 2;
    }
    if (Odd && !IsTransmitter(Words.back())) {
        Problem = std::to_string(Rest) +
                  " tokens after the time do not make two exchanges of one length: a last "
                  "token " +
                  Quote(Words.back()) +
                  " is no transmitter id (0 or 1); is a token missing or one too many?";
        return false;
    }
    const std::string_view Call = Words[5 + 1 + Sent];
    if (!IsCall(Call)) {
        Problem = Quote(Call) + " stands where the call belongs and is not a call (capitals, " +
                  "digits and \"/\", a letter and a digit at least); is a token missing or " +
                  "one too many?";
        return false;
    }
    const std::string_view Frequency = Words[1];
    std::optional<std::string_view> Band = BandOfKHz(Frequency);
    if (!Band) Band = BandOfCode(Frequency);
    Qso.Band = Band ? *Band : Frequency;
    Qso.Mode = CabrilloMode(Words[2]);
    Qso.Call = Call;
    Join(Words, 5 + 2 + Sent, K, Qso.Exchange);
    Qso.Frequency = Frequency;
    Qso.Date = Words[3];
    Qso.Time = Words[4];
    Qso.MyCall = Words[5];
    Join(Words, 6, Sent, Qso.Sent);
    return true;
}

} // namespace

TLogRead ReadCabrillo(std::string_view Text, const TQsoLayout& Layout, TQsoSink* Sink) {
    TLogRead Read;
    if (!Sink) {
        // Room for every "QSO:" in capitals, as logs write it: spares moving a
        // big log's QSOs as they grow.
        std::size_t Tags = 0;
        for (std::size_t At = Text.find("QSO:"); At != std::string_view::npos;
             At = Text.find("QSO:", At + 4))
            ++Tags;
        Read.QSOs.reserve(Tags);
    }
    TQsoMaker Maker(Read, Sink);
    TUnknownBandsAndModes Unknown;
    bool Ended = false;
    std::size_t After = 0, FirstAfter = 0; // lines with text after END-OF-LOG:
    std::vector<std::string_view> Words;
    ForEachLine(Text, [&](std::size_t Number, std::string_view Line) {
        SplitWords(Line, Words);
        if (Words.empty()) return;
        if (Ended) {
            // Mail signatures and notes: the log ended at END-OF-LOG:.
            if (After++ == 0) FirstAfter = Number;
            return;
        }
        if (Words[0][0] == '#') return; // a comment
        if (Words[0].size() > 4 && SameTextAscii(Words[0].substr(0, 4), "QSO:")) {
            Read.Problems.push_back({Number, "no blank after \"QSO:\""});
            return;
        }
        const bool Scored = SameTextAscii(Words[0], "QSO:");
        if (!Scored && !SameTextAscii(Words[0], "X-QSO:")) {
            // Any other tag line carries nothing to score.
            if (const std::size_t Colon = Words[0].find(':'); Colon == std::string_view::npos) {
                Read.Problems.push_back({Number, "not a Cabrillo line: no tag such as \"QSO:\""});
            } else {
                std::string Tag = UpperAscii(Words[0].substr(0, Colon));
                const std::size_t ValueStart = Line.find(':') + 1;
                const std::string_view Value = Trim(Line.substr(ValueStart));
                Ended = Tag == "END-OF-LOG";
                Read.Header.emplace_back(std::move(Tag), std::string(Value));
            }
            return;
        }
        TLogQSO& Qso = Maker.Start(Number, !Scored);
        std::string Problem;
        if (!ReadQsoLine(Words, Layout, Qso, Problem)) {
            Maker.Drop();
            Read.Problems.push_back({Number, std::move(Problem)});
            return;
        }
        if (Scored) Unknown.Note(Qso);
        Maker.Keep();
    });
    if (After > 0)
        Read.Warnings.push_back(
            {FirstAfter, std::to_string(After) + (After == 1 ? " line" : " lines") +
                             " after END-OF-LOG: passed over; the log ends there"});
    Unknown.Warn(Read);
    return Read;
}

} // namespace brevlund::logformats
