// The floor under a rescan over SQLite: the same statement stepped through,
// the seven columns found by name once and read as text by index on every
// row; nothing stored, nothing scored.
#pragma once

#include "engine/Rescan.h"

#include <sqlite3.h>

#include <cstddef>
#include <string>

namespace brevlund::bench {

// Answers the bytes read, so that nothing is optimised away.
inline std::size_t BareRead(sqlite3* Db, const std::string& Table) {
    sqlite3_stmt* Cursor = nullptr;
    const std::string Sql = RescanStatement(Table);
    sqlite3_prepare_v2(Db, Sql.c_str(), -1, &Cursor, nullptr);
    int Index[7] = {};
    for (int I = 0; I < 7; ++I)
        for (int C = 0; C < sqlite3_column_count(Cursor); ++C)
            if (sqlite3_stricmp(sqlite3_column_name(Cursor, C), RescanColumns[I].data()) == 0)
                Index[I] = C;
    std::size_t Bytes = 0;
    while (sqlite3_step(Cursor) == SQLITE_ROW)
        for (int C : Index) {
            sqlite3_column_text(Cursor, C);
            Bytes += static_cast<std::size_t>(sqlite3_column_bytes(Cursor, C));
        }
    sqlite3_finalize(Cursor);
    return Bytes;
}

} // namespace brevlund::bench
