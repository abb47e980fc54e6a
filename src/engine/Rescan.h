// The log rescan's rule: the one statement it runs over the host's log table,
// the seven columns it reads from each row in their order, and how one row
// lands in the context copy. The statistics window, brevlund's database reader,
// the benches and the ADO checks all take it from here.
#pragma once

#include "HostRecords.h"
#include "LogQuery.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace brevlund {

// "Select * from " + the table name unchanged + " order by CallSign".
std::string RescanStatement(std::string_view LogTable);

// The columns in the order read; a row lacking several reports the first.
constexpr std::array<std::string_view, 7> RescanColumns = {
    "QSOReportRecived", "DXCCPrefix", "MainPrefix", "CallSign", "DigiBand", "QSOMode", "Continent"};

// Positions in RescanColumns, for picking a column out of a row.
enum TRescanColumn : std::size_t {
    ColQSOReportRecived,
    ColDXCCPrefix,
    ColMainPrefix,
    ColCallSign,
    ColDigiBand,
    ColQSOMode,
    ColContinent,
};

// One row's texts, in the order of RescanColumns.
using TRescanRow = std::array<std::string, RescanColumns.size()>;

// Stores the seven texts of one row, in order.
void ApplyRescanRow(QsoContext& Context, const TRescanRow& Row);

// Reads the query's current row column by column, storing each as it is read,
// so that a missing column leaves the columns before it stored.
void ReadRescanRow(TLogQuery& Query, QsoContext& Context);

// Visits the current row's seven columns in their order as (column, text),
// as the database gives them; a text is valid only during its visit.
template <typename TVisit> void ForEachRescanColumn(TLogQuery& Query, TVisit&& Visit) {
    for (std::size_t Column = 0; Column < RescanColumns.size(); ++Column)
        Visit(static_cast<TRescanColumn>(Column), Query.ColumnView(RescanColumns[Column]));
}

} // namespace brevlund
