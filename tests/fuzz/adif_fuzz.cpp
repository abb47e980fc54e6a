// The ADIF reader: every field of a QSO comes from the input, and writing the
// QSOs back as ADIF gives a log that reads the same, with no problem.
#include "LogFuzzCheck.h"

#include "engine/Scoring.h"
#include "logformats/Adif.h"
#include "logformats/Bands.h"

#include <cstdint>
#include <string>

using namespace brevlund;
using namespace brevlund::logformats;

namespace {

bool In(std::string_view Text, std::string_view Part) {
    return Text.find(Part) != std::string_view::npos;
}

std::string Field(const char* Name, const std::string& Value) {
    return "<" + std::string(Name) + ":" + std::to_string(Value.size()) + ">" + Value + " ";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TLogRead Read;
    try {
        Read = ReadAdif(Text);
    } catch (...) {
        FUZZ_CHECK(!"reading threw");
    }
    brevlund::fuzz::CheckLines(Read, brevlund::fuzz::LinesOf(Text).size());

    std::string Capitals(Text);
    for (char& C : Capitals)
        if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    const auto Trimmed = [](const std::string& S) {
        return S.empty() || (static_cast<unsigned char>(S.front()) > 32 &&
                             static_cast<unsigned char>(S.back()) > 32);
    };
    std::string Again = "brevlund\n<EOH>\n";
    for (const TLogQSO& Q : Read.QSOs) {
        // No QSO without a call, a band or a mode; values trimmed, modes in capitals.
        FUZZ_CHECK(!Q.Call.empty() && !Q.Mode.empty() && !Q.Band.empty());
        FUZZ_CHECK(Trimmed(Q.Call) && Trimmed(Q.Mode) && Trimmed(Q.Band) && Trimmed(Q.Exchange));
        FUZZ_CHECK(In(Capitals, Q.Call) && In(Capitals, Q.MyCall));
        // Calls in capitals, as every reader but the host's own data has them.
        FUZZ_CHECK((Q.Call + Q.MyCall).find_first_of("abcdefghijklmnopqrstuvwxyz") ==
                   std::string::npos);
        FUZZ_CHECK(In(Capitals, Q.Mode) && AdifMode(Q.Mode) == Q.Mode);
        FUZZ_CHECK(IsContestBand(Q.Band) || In(Text, Q.Band));
        // SRX_STRING, or RST_RCVD and SRX joined by one blank.
        bool FromInput = In(Text, Q.Exchange);
        for (std::size_t Blank = Q.Exchange.find(' '); !FromInput && Blank != std::string::npos;
             Blank = Q.Exchange.find(' ', Blank + 1))
            FromInput = In(Text, std::string_view(Q.Exchange).substr(0, Blank)) &&
                        In(Text, std::string_view(Q.Exchange).substr(Blank + 1));
        FUZZ_CHECK(FromInput);
        Again += Field("CALL", Q.Call) + Field("BAND", Q.Band) + Field("MODE", Q.Mode) +
                 Field("SRX_STRING", Q.Exchange) + "<EOR>\n";
    }
    const TLogRead Reread = ReadAdif(Again);
    FUZZ_CHECK(Reread.Problems.empty());
    FUZZ_CHECK(Reread.QSOs.size() == Read.QSOs.size());
    for (std::size_t I = 0; I < Read.QSOs.size(); ++I) {
        const TLogQSO &A = Read.QSOs[I], &B = Reread.QSOs[I];
        FUZZ_CHECK(A.Call == B.Call && A.Mode == B.Mode && A.Exchange == B.Exchange);
        FUZZ_CHECK(A.Band == B.Band || IsContestBand(B.Band));
    }
    brevlund::fuzz::CheckSinkRead(Read, [&](TQsoSink* Sink) { return ReadAdif(Text, Sink); });
    return 0;
}
