// The rescan over SQLite as the statistics window runs it, and the floor under
// it: the same statement stepped through, the seven columns found by name once
// and read as text by index on every row; nothing stored, nothing scored.
#pragma once

#include "MainForm/MainForm.h"
#include "engine/Rescan.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/SqliteLogQuery.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
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

// "Recalc Statistic" without the window around it: the rows of Table in the
// database at Path read and scored, Rows of them each time.
inline void TimeRescan(benchmark::State& State, const std::string& Folder, const std::string& Path,
                       const char* Table, std::int64_t Rows) {
    THeadlessPlatform Platform(Folder + "/Logger.exe");
    TSqliteConnection Log(Path);
    QsoContext Host{};
    Host.LogConnection = Log.Number();
    Host.LogTable.Store(Table);
    TfmMainForm Form(Platform, &Host);
    for (auto _ : State)
        Form.RescanLog();
    State.SetItemsProcessed(State.iterations() * Rows);
}

} // namespace brevlund::bench
