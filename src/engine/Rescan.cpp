#include "Rescan.h"

#include "Text.h"

#include <iterator>

namespace brevlund {

std::string RescanStatement(std::string_view LogTable) {
    std::string Sql = "Select * from ";
    Sql.append(LogTable).append(" order by CallSign");
    return Sql;
}

namespace {
// The field of each column, in the order of RescanColumns.
constexpr TShortString QsoContext::*RescanFields[] = {
    &QsoContext::QSOReportRecived, &QsoContext::DXCCPrefix, &QsoContext::MainPrefix,
    &QsoContext::CallSign,         &QsoContext::DigiBand,   &QsoContext::QSOMode,
    &QsoContext::Continent,
};
static_assert(std::size(RescanFields) == RescanColumns.size());
// Stores one column's text into its field of the context: cut to 255
// characters, and Continent turned to capitals (a to z only) first.
void StoreRescanColumn(QsoContext& Context, std::size_t Column, std::string_view Text) {
    TShortString& Field = Context.*RescanFields[Column];
    if (Column == ColContinent)
        Field.Store(UpperAscii(Text));
    else
        Field.Store(Text);
}

} // namespace

void ApplyRescanRow(QsoContext& Context, const TRescanRow& Row) {
    for (std::size_t Column = 0; Column < Row.size(); ++Column)
        StoreRescanColumn(Context, Column, Row[Column]);
}

void ReadRescanRow(TLogQuery& Query, QsoContext& Context) {
    ForEachRescanColumn(Query, [&](TRescanColumn Column, std::string_view Text) {
        StoreRescanColumn(Context, Column, Text);
    });
}

} // namespace brevlund
