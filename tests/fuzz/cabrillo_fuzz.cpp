// Cabrillo reader: the first byte picks the exchange token count (0: from each
// line's count), the rest is the log.
#include "LogFuzzCheck.h"

#include "engine/Scoring.h"
#include "logformats/Bands.h"
#include "logformats/Cabrillo.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

using namespace brevlund;
using namespace brevlund::logformats;

namespace {

bool IsQsoTag(std::string_view Word) {
    std::string Upper(Word.substr(0, 4));
    for (char& C : Upper)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    return Upper == "QSO:";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0) return 0;
    const int Tokens = Data[0] % 4;
    const std::string_view Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    TLogRead Read;
    try {
        Read = ReadCabrillo(Text, Tokens);
    } catch (...) {
        FUZZ_CHECK(!"reading threw");
    }
    const std::vector<std::string_view> Lines = fuzz::LinesOf(Text);
    fuzz::CheckLines(Read, Lines.size());

    std::set<std::size_t> Seen;
    for (const TLogQSO& Q : Read.QSOs) {
        FUZZ_CHECK(Seen.insert(Q.Line).second); // one QSO a line
        const std::vector<std::string_view> Words = SplitWords(Lines[Q.Line - 1]);
        FUZZ_CHECK(Words.size() >= 9 && IsQsoTag(Words[0]) && Words[0].size() == 4);
        // Every field comes from the line: the call and the exchange's tokens
        // are its words, the band is a label or the frequency, the mode mapped.
        FUZZ_CHECK(std::find(Words.begin() + 5, Words.end(), Q.Call) != Words.end());
        const std::vector<std::string_view> Exchange = SplitWords(Q.Exchange);
        FUZZ_CHECK(!Exchange.empty());
        if (Tokens > 0) FUZZ_CHECK(Exchange.size() == static_cast<std::size_t>(Tokens));
        std::string Joined;
        for (std::string_view W : Exchange) {
            FUZZ_CHECK(std::find(Words.begin() + 5, Words.end(), W) != Words.end());
            Joined += (Joined.empty() ? "" : " ") + std::string(W);
        }
        FUZZ_CHECK(Joined == Q.Exchange); // joined by one blank
        const auto Band = BandOfKHz(Words[1]);
        FUZZ_CHECK(Band ? Q.Band == *Band && BandNumber(Q.Band) != 0 : Q.Band == Words[1]);
        FUZZ_CHECK(Q.Mode == CabrilloMode(Words[2]));
    }
    for (const TLogProblem& P : Read.Problems)
        FUZZ_CHECK(Seen.insert(P.Line).second); // a line is read or reported, not both
    // Every QSO line is read or reported.
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        const std::vector<std::string_view> Words = SplitWords(Lines[I]);
        if (!Words.empty() && IsQsoTag(Words[0])) FUZZ_CHECK(Seen.count(I + 1) == 1);
    }
    FUZZ_CHECK(fuzz::SameRead(Read, ReadCabrillo(Text, Tokens)));
    return 0;
}
