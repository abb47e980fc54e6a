// The log query over SQLite, for the Linux build: the tests and the tools open
// a log database file and hand the query a 32-bit number that names it, as the
// host hands over its connection.
#pragma once

#include "engine/LogQuery.h"

#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace brevlund {

// An open SQLite database known to the process by a 32-bit number.
class TSqliteConnection {
public:
    explicit TSqliteConnection(const std::string& Path); // throws TDatabaseError
    ~TSqliteConnection();
    TSqliteConnection(const TSqliteConnection&) = delete;
    TSqliteConnection& operator=(const TSqliteConnection&) = delete;

    std::uint32_t Number() const { return Id; }
    sqlite3* Handle() const { return Db; }
    void Execute(const std::string& Sql); // for setting up logs; throws TDatabaseError

    static sqlite3* Find(std::uint32_t Number); // null when none has that number

private:
    sqlite3* Db = nullptr;
    std::uint32_t Id = 0;
};

class TSqliteLogQuery final : public TLogQuery {
public:
    ~TSqliteLogQuery() override;

    void Attach(std::uint32_t Connection) override { ConnectionNumber = Connection; }
    void Close() override;
    void SetStatement(const std::string& Sql) override { Statement = Sql; }
    void Open() override;
    bool AtEnd() const override { return !OnRow; }
    std::string ColumnText(std::string_view Name) override;
    std::string_view ColumnView(std::string_view Name) override;
    void Next() override;

private:
    void Step();

    std::uint32_t ConnectionNumber = 0;
    std::string Statement;
    int ColumnIndex(std::string_view Name);

    sqlite3_stmt* Cursor = nullptr; // owned; finalized by Close
    bool OnRow = false;
    // Names already looked up in this result, with their column: every row asks
    // for the same seven, mostly through the same text (Asked, not owned).
    struct TKnownColumn {
        std::string Name;
        const char* Asked;
        int Column;
    };
    std::vector<TKnownColumn> KnownColumns;
    std::size_t LastKnown = 0;
};

} // namespace brevlund
