#include "CsvLog.h"

#include <string>

namespace brevlund::logformats {

TLogRead ReadCsvLog(std::string_view Text, TQsoSink* Sink) {
    TLogRead Read;
    TQsoMaker Maker(Read, Sink);
    ForEachLine(Text, [&](std::size_t Number, std::string_view Line) {
        if (Line.empty() || Line[0] == '#') return;
        std::vector<std::string_view> Fields;
        std::size_t Start = 0;
        for (;;) {
            const std::size_t End = Line.find(';', Start);
            Fields.push_back(Line.substr(Start, End == std::string_view::npos ? End : End - Start));
            if (End == std::string_view::npos) break;
            Start = End + 1;
        }
        if (Fields.size() != 4) {
            Read.Problems.push_back({Number, "expected 4 fields separated by \";\" (call, band, "
                                             "mode, exchange), found " +
                                                 std::to_string(Fields.size())});
            return;
        }
        TLogQSO& Qso = Maker.Start(Number);
        Qso.Call = Fields[0];
        Qso.Band = Fields[1];
        Qso.Mode = Fields[2];
        Qso.Exchange = Fields[3];
        Maker.Keep();
    });
    return Read;
}

} // namespace brevlund::logformats
