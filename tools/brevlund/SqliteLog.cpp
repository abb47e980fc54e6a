#include "SqliteLog.h"

#include "engine/Rescan.h"
#include "platform/headless/SqliteLogQuery.h"

namespace brevlund::cli {

logformats::TLogRead ReadSqliteLog(const std::string& Path, const std::string& Table, bool ByCall) {
    TSqliteConnection Connection(Path);
    TSqliteLogQuery Query;
    Query.Attach(Connection.Number());
    Query.SetStatement(ByCall ? RescanStatement(Table) : "Select * from " + Table);
    Query.Open();
    logformats::TLogRead Read;
    for (std::size_t Row = 1; !Query.AtEnd(); ++Row) {
        // All seven, in the rescan's order, so that a missing column is
        // reported as the plug-in reports it.
        TRescanRow Texts = ReadRescanTexts(Query);
        logformats::TLogQSO Qso;
        Qso.Line = Row;
        Qso.Exchange = std::move(Texts[ColQSOReportRecived]);
        Qso.Call = std::move(Texts[ColCallSign]);
        Qso.Band = std::move(Texts[ColDigiBand]);
        Qso.Mode = std::move(Texts[ColQSOMode]);
        Read.QSOs.push_back(std::move(Qso));
        Query.Next();
    }
    Query.Close();
    return Read;
}

} // namespace brevlund::cli
