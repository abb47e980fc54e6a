#include "SqliteLog.h"

#include "platform/headless/SqliteLogQuery.h"

namespace brevlund::cli {

logformats::TLogRead ReadSqliteLog(const std::string& Path, const std::string& Table, bool ByCall) {
    TSqliteConnection Connection(Path);
    TSqliteLogQuery Query;
    Query.Attach(Connection.Number());
    Query.SetStatement("Select * from " + Table + (ByCall ? " order by CallSign" : ""));
    Query.Open();
    logformats::TLogRead Read;
    for (std::size_t Row = 1; !Query.AtEnd(); ++Row) {
        // All seven, in the rescan's order, so that a missing column is
        // reported as the plug-in reports it.
        logformats::TLogQSO Qso;
        Qso.Line = Row;
        Qso.Exchange = Query.ColumnText("QSOReportRecived");
        Query.ColumnText("DXCCPrefix");
        Query.ColumnText("MainPrefix");
        Qso.Call = Query.ColumnText("CallSign");
        Qso.Band = Query.ColumnText("DigiBand");
        Qso.Mode = Query.ColumnText("QSOMode");
        Query.ColumnText("Continent");
        Read.QSOs.push_back(std::move(Qso));
        Query.Next();
    }
    Query.Close();
    return Read;
}

} // namespace brevlund::cli
