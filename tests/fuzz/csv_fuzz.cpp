// The CSV log reader: each QSO is its line split at ";", and writing the QSOs
// back gives a log that reads the same.
#include "LogFuzzCheck.h"

#include "logformats/CsvLog.h"

#include <cstdint>
#include <string>

using namespace brevlund::logformats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TLogRead Read;
    try {
        Read = ReadCsvLog(Text);
    } catch (...) {
        FUZZ_CHECK(!"reading threw");
    }
    const std::vector<std::string_view> Lines = brevlund::fuzz::LinesOf(Text);
    brevlund::fuzz::CheckLines(Read, Lines.size());
    std::string Again;
    for (const TLogQSO& Q : Read.QSOs) {
        const std::string Line = Q.Call + ";" + Q.Band + ";" + Q.Mode + ";" + Q.Exchange;
        FUZZ_CHECK(Line == Lines[Q.Line - 1]);
        Again += Line + "\n";
    }
    const TLogRead Reread = ReadCsvLog(Again);
    FUZZ_CHECK(Reread.Problems.empty() && Reread.QSOs.size() == Read.QSOs.size());
    for (std::size_t I = 0; I < Read.QSOs.size(); ++I) {
        FUZZ_CHECK(Reread.QSOs[I].Call == Read.QSOs[I].Call);
        FUZZ_CHECK(Reread.QSOs[I].Exchange == Read.QSOs[I].Exchange);
    }
    brevlund::fuzz::CheckSinkRead(Read, [&](TQsoSink* Sink) { return ReadCsvLog(Text, Sink); });
    return 0;
}
