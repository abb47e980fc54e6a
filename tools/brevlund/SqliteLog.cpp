#include "SqliteLog.h"

#include "engine/Rescan.h"
#include "platform/headless/SqliteLogQuery.h"

namespace brevlund::cli {

logformats::TLogRead ReadSqliteLog(const std::string& Path, const std::string& Table, bool ByCall,
                                   logformats::TQsoSink* Sink) {
    TSqliteConnection Connection(Path);
    TSqliteLogQuery Query;
    Query.Attach(Connection.Number());
    Query.SetStatement(ByCall ? RescanStatement(Table) : "Select * from " + Table);
    Query.Open();
    logformats::TLogRead Read;
    logformats::TQsoMaker Maker(Read, Sink);
    for (std::size_t Row = 1; !Query.AtEnd(); ++Row) {
        // All seven, in the rescan's order, so that a missing column is
        // reported as the plug-in reports it.
        TRescanRow Texts = ReadRescanTexts(Query);
        logformats::TLogQSO& Qso = Maker.Start(Row);
        Qso.Exchange = std::move(Texts[ColQSOReportRecived]);
        Qso.Call = std::move(Texts[ColCallSign]);
        Qso.Band = std::move(Texts[ColDigiBand]);
        Qso.Mode = std::move(Texts[ColQSOMode]);
        Maker.Keep();
        Query.Next();
    }
    Query.Close();
    return Read;
}

} // namespace brevlund::cli
