#include "Cabrillo.h"
#include "engine/Text.h"

#include "Bands.h"

#include <algorithm>
#include <cstddef>
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

// A call as logs write it: letters, digits and "/", at least one letter and
// one digit. Keeps a token of an exchange ("001", "599", "CT") from being
// taken for the call when a line's count leaves its reading open.
bool IsCall(std::string_view Word) {
    bool Letter = false, Digit = false;
    for (char C : Word) {
        C = UpperAscii(C);
        if (C >= 'A' && C <= 'Z')
            Letter = true;
        else if (C >= '0' && C <= '9')
            Digit = true;
        else if (C != '/')
            return false;
    }
    return Letter && Digit;
}

// A call busted into letters alone: it lost its digit.
bool LettersOnly(std::string_view Word) {
    bool Letter = false;
    for (char C : Word) {
        C = UpperAscii(C);
        if (C >= 'A' && C <= 'Z')
            Letter = true;
        else if (C != '/')
            return false;
    }
    return Letter;
}

bool Digits(std::string_view Word) {
    return std::all_of(Word.begin(), Word.end(), [](char C) { return C >= '0' && C <= '9'; });
}

// Why a token in the call's place looks like no call, or null.
const char* UnlikeACall(std::string_view Word) {
    bool Letter = false, Digit = false;
    for (char C : Word) {
        C = UpperAscii(C);
        Letter = Letter || (C >= 'A' && C <= 'Z');
        Digit = Digit || (C >= '0' && C <= '9');
        if (!(C >= 'A' && C <= 'Z') && !(C >= '0' && C <= '9') && C != '/')
            return "holds characters other than letters, digits and \"/\"";
    }
    if (!Digit) return "has no digit";
    if (!Letter) return "has no letter";
    return nullptr;
}

bool IsTransmitter(std::string_view Word) {
    return Word == "0" || Word == "1";
}

std::string Quote(std::string_view Word) {
    return "\"" + std::string(Word) + "\"";
}

// What a QSO line gave besides its QSO: a warning of its own, and whether
// tokens after the received exchange were passed over.
struct TLineNotes {
    std::string Doubt;
    bool Extra = false;
};

// The QSO of one "QSO:" line, or the reason it has none (TQsoLayout).
bool ReadQsoLine(const std::vector<std::string_view>& Words, const TQsoLayout& Layout, TLogQSO& Qso,
                 std::string& Problem, TLineNotes& Notes) {
    // Words[0] is the tag; freq, mode, date and time follow.
    if (Words.size() < 5) {
        Problem = "QSO line ends before the frequency, mode, date and time";
        return false;
    }
    const std::size_t Rest = Words.size() - 5;
    // The line's own reading: two exchanges of one length, K tokens each, and
    // a transmitter id after an odd count; 0: none.
    const bool Odd = Rest % 2 == 1;
    const std::size_t Own = Rest >= (Odd ? 5u : 4u) && (!Odd || IsTransmitter(Words.back()))
                                ? (Rest - (Odd ? 3 : 2)) / 2
                                : 0;
    std::size_t K = 0, Sent = 0;
    bool Fits = false;
    if (Layout.Sent > 0 && Layout.Received > 0) {
        const std::size_t S = static_cast<std::size_t>(Layout.Sent);
        const std::size_t R = static_cast<std::size_t>(Layout.Received);
        const std::size_t Expected = 2 + S + R;
        Fits = Rest == Expected || (Rest == Expected + 1 && IsTransmitter(Words.back()));
        if (!Fits && Rest > Expected) {
            // Tokens over the layout: a column it lacks when its call's place
            // holds a call; or a call busted to letters alone, when the
            // tokens over are numbers (points) and the line's own count
            // gives no call.
            const std::string_view Slot = Words[6 + S];
            const bool OwnCall = Own > 0 && !Layout.Strict && IsCall(Words[6 + Own]);
            const bool Points = std::all_of(
                Words.begin() + static_cast<std::ptrdiff_t>(5 + Expected), Words.end(), Digits);
            Notes.Extra = IsCall(Slot) || (!OwnCall && Points && LettersOnly(Slot));
        }
        if (Fits || Notes.Extra) {
            Sent = S;
            K = R;
        } else if (Layout.Strict) {
            Problem = "expected " + std::to_string(Expected) + " or " +
                      std::to_string(Expected + 1) + " tokens after the time (my call, " +
                      std::to_string(S) + " sent, call, " + std::to_string(R) +
                      " received, transmitter 0 or 1), found " + std::to_string(Rest);
            if (Rest > Expected)
                Problem += ", and " + Quote(Words[6 + S]) + " where the call belongs is no call";
            return false;
        }
    }
    if (K == 0) {
        if (Rest < (Odd ? 5u : 4u)) {
            Problem = "QSO line needs my call, the sent exchange, the call and the received "
                      "exchange after the time; found " +
                      std::to_string(Rest) + " tokens";
            return false;
        }
        if (Odd && !IsTransmitter(Words.back())) {
            Problem = std::to_string(Rest) +
                      " tokens after the time do not make two exchanges of one length: a last "
                      "token " +
                      Quote(Words.back()) +
                      " is no transmitter id (0 or 1); is a token missing or one too many?";
            return false;
        }
        K = Sent = Own;
        if (!IsCall(Words[6 + Sent])) {
            Problem = Quote(Words[6 + Sent]) +
                      " stands where the call belongs and is not a call (letters, digits and "
                      "\"/\", a letter and a digit at least); is a token missing or one too "
                      "many?";
            return false;
        }
    }
    // A date or time that does not exist would put the QSO anywhere in time.
    if (!ValidDate(Words[3])) {
        Problem = "date " + Quote(Words[3]) + " is no date that exists; Cabrillo writes YYYY-MM-DD";
        return false;
    }
    if (!ValidTime(Words[4])) {
        Problem =
            "time " + Quote(Words[4]) + " is no time of day; Cabrillo writes HHMM, 0000 to 2359";
        return false;
    }
    const std::string_view Call = Words[6 + Sent];
    if (Fits || Notes.Extra)
        if (const char* Why = UnlikeACall(Call))
            Notes.Doubt = Quote(Call) + " stands where the call belongs and " + Why +
                          ": read as the call, as the contest's exchanges place it";
    const std::string_view Frequency = Words[1];
    std::optional<std::string_view> Band = BandOfKHz(Frequency);
    if (!Band) Band = BandOfCode(Frequency);
    Qso.Band = Band ? *Band : Frequency;
    Qso.Mode = CabrilloMode(Words[2]);
    AssignUpperAscii(Qso.Call, Call);
    Join(Words, 7 + Sent, K, Qso.Exchange);
    Qso.Frequency = Frequency;
    Qso.Date = Words[3];
    Qso.Time = Words[4];
    AssignUpperAscii(Qso.MyCall, Words[5]);
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
    std::size_t Extra = 0, FirstExtra = 0; // lines with tokens the layout has no place for
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
                Read.Header.push_back({std::move(Tag), std::string(Value), Number});
            }
            return;
        }
        TLogQSO& Qso = Maker.Start(Number, !Scored);
        std::string Problem;
        TLineNotes Notes;
        if (!ReadQsoLine(Words, Layout, Qso, Problem, Notes)) {
            Maker.Drop();
            Read.Problems.push_back({Number, std::move(Problem)});
            return;
        }
        if (!Notes.Doubt.empty()) Read.Warnings.push_back({Number, std::move(Notes.Doubt)});
        if (Notes.Extra && Extra++ == 0) FirstExtra = Number;
        if (Scored) Unknown.Note(Qso);
        Maker.Keep();
    });
    if (After > 0)
        Read.Warnings.push_back(
            {FirstAfter, std::to_string(After) + (After == 1 ? " line" : " lines") +
                             " after END-OF-LOG: passed over; the log ends there"});
    if (Extra > 0)
        Read.Warnings.push_back(
            {FirstExtra, "tokens after the received exchange (a points column?) passed over; " +
                             std::to_string(Extra) +
                             (Extra == 1 ? " QSO line carries them" : " QSO lines carry them")});
    Unknown.Warn(Read);
    return Read;
}

} // namespace brevlund::logformats
