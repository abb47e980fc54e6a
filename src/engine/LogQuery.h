// The log query: the one statement the plug-in runs over the host's log
// database, read forward only. One implementation per platform (ADO on
// Windows, SQLite on Linux); both report failures as exceptions with the
// database's own text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brevlund {

// A failure of the database or of the query, carrying the text the user sees.
class TDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TLogQuery {
public:
    virtual ~TLogQuery() = default;

    // Runs the statements over the host's connection from now on; 0 leaves the
    // query without one. The connection stays the host's: never closed or released.
    virtual void Attach(std::uint32_t Connection) = 0;
    // Gives up the result; closing a closed query does nothing.
    virtual void Close() = 0;
    virtual void SetStatement(const std::string& Sql) = 0;
    // Runs the statement and stands on the first row, or at the end at once.
    virtual void Open() = 0;
    virtual bool AtEnd() const = 0;
    // The column's value in the current row as single-byte text; null gives
    // the empty text. Looks the column up by name without regard to letter case.
    virtual std::string ColumnText(std::string_view Name) = 0;
    // The same text as a view that stays valid until the next call on the
    // query: a query holding the row's bytes hands them out without a copy.
    virtual std::string_view ColumnView(std::string_view Name) {
        Scratch = ColumnText(Name);
        return Scratch;
    }
    virtual void Next() = 0;

private:
    std::string Scratch; // the text ColumnView hands out by default
};

// "LogQuery: Field 'NAME' not found", the error for a column the result lacks.
inline TDatabaseError FieldNotFound(std::string_view Name) {
    return TDatabaseError("LogQuery: Field '" + std::string(Name) + "' not found");
}

inline const char* const MissingConnection = "Missing Connection or ConnectionString";

} // namespace brevlund
