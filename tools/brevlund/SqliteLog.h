// Reads a log database the way the log rescan does: its statement and its
// seven columns (engine/Rescan.h), through the SQLite log query. Not in the
// Windows build, which has no SQLite.
#pragma once

#include "logformats/LogRecord.h"

#include <string>

namespace brevlund::cli {

// ByCall: the rescan's statement; otherwise the rows in the table's own order.
// Each QSO's line is its row number in the result. A database failure (no such
// table, a missing column, not a database) throws TDatabaseError with its text.
// With a sink, the QSOs go there (TQsoSink).
logformats::TLogRead ReadSqliteLog(const std::string& Path, const std::string& Table, bool ByCall,
                                   logformats::TQsoSink* Sink = nullptr);

} // namespace brevlund::cli
