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
        logformats::TLogQSO& Qso = Maker.Start(Row);
        ForEachRescanColumn(Query, [&](TRescanColumn Column, std::string_view Text) {
            if (std::string* Field = Column == ColQSOReportRecived ? &Qso.Exchange
                                     : Column == ColCallSign       ? &Qso.Call
                                     : Column == ColDigiBand       ? &Qso.Band
                                     : Column == ColQSOMode        ? &Qso.Mode
                                                                   : nullptr)
                Field->assign(Text);
        });
        Maker.Keep();
        Query.Next();
    }
    Query.Close();
    return Read;
}

} // namespace brevlund::cli
