#include "Rescan.h"

#include "Text.h"

namespace brevlund {

std::string RescanStatement(std::string_view LogTable) {
    std::string Sql = "Select * from ";
    Sql.append(LogTable).append(" order by CallSign");
    return Sql;
}

void StoreRescanColumn(QsoContext& Context, std::size_t Column, std::string_view Text) {
    switch (Column) {
    case ColQSOReportRecived:
        return Context.QSOReportRecived.Store(Text);
    case ColDXCCPrefix:
        return Context.DXCCPrefix.Store(Text);
    case ColMainPrefix:
        return Context.MainPrefix.Store(Text);
    case ColCallSign:
        return Context.CallSign.Store(Text);
    case ColDigiBand:
        return Context.DigiBand.Store(Text);
    case ColQSOMode:
        return Context.QSOMode.Store(Text);
    case ColContinent:
        return Context.Continent.Store(UpperAscii(Text));
    }
}

void ApplyRescanRow(QsoContext& Context, const TRescanRow& Row) {
    for (std::size_t Column = 0; Column < Row.size(); ++Column)
        StoreRescanColumn(Context, Column, Row[Column]);
}

void ReadRescanRow(TLogQuery& Query, QsoContext& Context) {
    for (std::size_t Column = 0; Column < RescanColumns.size(); ++Column)
        StoreRescanColumn(Context, Column, Query.ColumnText(RescanColumns[Column]));
}

TRescanRow ReadRescanTexts(TLogQuery& Query) {
    TRescanRow Row;
    for (std::size_t Column = 0; Column < RescanColumns.size(); ++Column)
        Row[Column] = Query.ColumnText(RescanColumns[Column]);
    return Row;
}

} // namespace brevlund
