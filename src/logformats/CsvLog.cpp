#include "CsvLog.h"

#include <string>

namespace brevlund::logformats {

TLogRead ReadCsvLog(std::string_view Text) {
    TLogRead Read;
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
        TLogQSO Qso;
        Qso.Line = Number;
        Qso.Call = std::string(Fields[0]);
        Qso.Band = std::string(Fields[1]);
        Qso.Mode = std::string(Fields[2]);
        Qso.Exchange = std::string(Fields[3]);
        Read.QSOs.push_back(std::move(Qso));
    });
    return Read;
}

} // namespace brevlund::logformats
