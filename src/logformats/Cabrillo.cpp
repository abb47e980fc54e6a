#include "Cabrillo.h"

#include "Bands.h"

#include <string>

namespace brevlund::logformats {

namespace {

bool SameTag(std::string_view Word, std::string_view Tag) {
    if (Word.size() != Tag.size()) return false;
    for (std::size_t I = 0; I < Word.size(); ++I) {
        char C = Word[I];
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
        if (C != Tag[I]) return false;
    }
    return true;
}

std::string Join(const std::vector<std::string_view>& Words, std::size_t From, std::size_t Count) {
    std::string Text;
    for (std::size_t I = From; I < From + Count; ++I) {
        if (I > From) Text += ' ';
        Text.append(Words[I]);
    }
    return Text;
}

// The QSO of one "QSO:" line, or the reason it has none.
bool ReadQsoLine(const std::vector<std::string_view>& Words, int ExchangeTokens, TLogQSO& Qso,
                 std::string& Problem) {
    // Words[0] is the tag; freq, mode, date and time follow.
    if (Words.size() < 5) {
        Problem = "QSO line ends before the frequency, mode, date and time";
        return false;
    }
    std::size_t Rest = Words.size() - 5;
    if (ExchangeTokens > 0) {
        const std::size_t Expected = 2 + 2 * static_cast<std::size_t>(ExchangeTokens);
        if (Rest != Expected && Rest != Expected + 1) {
            Problem = "expected " + std::to_string(Expected) + " or " +
                      std::to_string(Expected + 1) + " tokens after the time (my call, " +
                      std::to_string(ExchangeTokens) + " sent, call, " +
                      std::to_string(ExchangeTokens) + " received, transmitter), found " +
                      std::to_string(Rest);
            return false;
        }
        Rest = Expected;
    } else {
        if (Rest % 2 == 1) --Rest; // the last token is the transmitter
        if (Rest < 4) {
            Problem = "QSO line needs my call, the sent exchange, the call and the received "
                      "exchange after the time; found " +
                      std::to_string(Words.size() - 5) + " tokens";
            return false;
        }
    }
    const std::size_t K = (Rest - 2) / 2;
    const std::string_view Frequency = Words[1];
    const std::optional<std::string_view> Band = BandOfKHz(Frequency);
    Qso.Band = std::string(Band ? *Band : Frequency);
    Qso.Mode = CabrilloMode(Words[2]);
    Qso.Call = std::string(Words[5 + 1 + K]);
    Qso.Exchange = Join(Words, 5 + 2 + K, K);
    Qso.Frequency = std::string(Frequency);
    Qso.Date = std::string(Words[3]);
    Qso.Time = std::string(Words[4]);
    Qso.MyCall = std::string(Words[5]);
    Qso.Sent = Join(Words, 6, K);
    return true;
}

} // namespace

TLogRead ReadCabrillo(std::string_view Text, int ExchangeTokens) {
    TLogRead Read;
    ForEachLine(Text, [&](std::size_t Number, std::string_view Line) {
        const std::vector<std::string_view> Words = SplitWords(Line);
        if (Words.empty()) return;
        if (Words[0].size() > 4 && SameTag(Words[0].substr(0, 4), "QSO:")) {
            Read.Problems.push_back({Number, "no blank after \"QSO:\""});
            return;
        }
        const bool Scored = SameTag(Words[0], "QSO:");
        if (!Scored && !SameTag(Words[0], "X-QSO:")) {
            // Any other tag line carries nothing to score.
            if (const std::size_t Colon = Words[0].find(':'); Colon == std::string_view::npos) {
                Read.Problems.push_back({Number, "not a Cabrillo line: no tag such as \"QSO:\""});
            } else {
                std::string Tag(Words[0].substr(0, Colon));
                for (char& C : Tag)
                    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
                const std::size_t ValueStart = Line.find(':') + 1;
                std::string_view Value = Line.substr(ValueStart);
                while (!Value.empty() && static_cast<unsigned char>(Value.front()) <= 32)
                    Value.remove_prefix(1);
                while (!Value.empty() && static_cast<unsigned char>(Value.back()) <= 32)
                    Value.remove_suffix(1);
                Read.Header.emplace_back(std::move(Tag), std::string(Value));
            }
            return;
        }
        TLogQSO Qso;
        Qso.Line = Number;
        std::string Problem;
        if (ReadQsoLine(Words, ExchangeTokens, Qso, Problem))
            (Scored ? Read.QSOs : Read.XQSOs).push_back(std::move(Qso));
        else
            Read.Problems.push_back({Number, std::move(Problem)});
    });
    return Read;
}

} // namespace brevlund::logformats
