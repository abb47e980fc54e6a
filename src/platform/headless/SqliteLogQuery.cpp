#include "SqliteLogQuery.h"

#include "engine/LocaleText.h"

#include <sqlite3.h>

#include <map>

namespace brevlund {

namespace {

// The connections open in this process, by number; numbers are never reused.
std::map<std::uint32_t, sqlite3*>& Connections() {
    static std::map<std::uint32_t, sqlite3*> Open;
    return Open;
}
std::uint32_t NextNumber = 1;

TDatabaseError ErrorOf(sqlite3* Db) {
    return TDatabaseError(sqlite3_errmsg(Db));
}

} // namespace

TSqliteConnection::TSqliteConnection(const std::string& Path) {
    // One thread uses a connection: no mutex around every call.
    if (sqlite3_open_v2(Path.c_str(), &Db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const TDatabaseError Error = Db ? ErrorOf(Db) : TDatabaseError("out of memory");
        sqlite3_close(Db);
        throw Error;
    }
    Id = NextNumber++;
    Connections()[Id] = Db;
}

TSqliteConnection::~TSqliteConnection() {
    Connections().erase(Id);
    sqlite3_close_v2(Db); // v2: a query left open by its owner does not keep the file busy
}

void TSqliteConnection::Execute(const std::string& Sql) {
    char* Message = nullptr;
    if (sqlite3_exec(Db, Sql.c_str(), nullptr, nullptr, &Message) != SQLITE_OK) {
        const TDatabaseError Error(Message ? Message : sqlite3_errmsg(Db));
        sqlite3_free(Message);
        throw Error;
    }
}

sqlite3* TSqliteConnection::Find(std::uint32_t Number) {
    const auto Found = Connections().find(Number);
    return Found == Connections().end() ? nullptr : Found->second;
}

TSqliteLogQuery::~TSqliteLogQuery() {
    Close();
}

void TSqliteLogQuery::Close() {
    sqlite3_finalize(Cursor);
    Cursor = nullptr;
    OnRow = false;
    KnownColumns.clear();
}

void TSqliteLogQuery::Open() {
    Close();
    sqlite3* Db = ConnectionNumber ? TSqliteConnection::Find(ConnectionNumber) : nullptr;
    if (Db == nullptr) throw TDatabaseError(MissingConnection);
    if (sqlite3_prepare_v2(Db, Statement.c_str(), static_cast<int>(Statement.size()), &Cursor,
                           nullptr) != SQLITE_OK)
        throw ErrorOf(Db);
    Step();
}

void TSqliteLogQuery::Step() {
    const int Result = sqlite3_step(Cursor);
    OnRow = Result == SQLITE_ROW;
    if (Result != SQLITE_ROW && Result != SQLITE_DONE) throw ErrorOf(sqlite3_db_handle(Cursor));
}

int TSqliteLogQuery::ColumnIndex(std::string_view Name) {
    // Rows ask for the same names in the same order: start after the last one.
    const std::size_t Known = KnownColumns.size();
    for (std::size_t Step = 1, I = LastKnown; Step <= Known; ++Step) {
        I = I + 1 == Known ? 0 : I + 1;
        const TKnownColumn& Column = KnownColumns[I];
        if ((Column.Asked == Name.data() && Column.Name.size() == Name.size()) ||
            Column.Name == Name) {
            LastKnown = I;
            return Column.Column;
        }
    }
    const int Count = sqlite3_column_count(Cursor);
    for (int Column = 0; Column < Count; ++Column)
        if (locale::SameText(sqlite3_column_name(Cursor, Column), Name)) {
            KnownColumns.push_back({std::string(Name), Name.data(), Column});
            LastKnown = KnownColumns.size() - 1;
            return Column;
        }
    throw FieldNotFound(Name);
}

std::string TSqliteLogQuery::ColumnText(std::string_view Name) {
    return std::string(ColumnView(Name));
}

std::string_view TSqliteLogQuery::ColumnView(std::string_view Name) {
    if (!OnRow) throw TDatabaseError("LogQuery: no current row");
    const int Column = ColumnIndex(Name);
    // Integers and reals come back in their text form, blobs byte for byte;
    // SQLite keeps the bytes until the cursor moves.
    const auto* Text = sqlite3_column_text(Cursor, Column);
    const int Bytes = sqlite3_column_bytes(Cursor, Column);
    return Text ? std::string_view(reinterpret_cast<const char*>(Text), Bytes) : std::string_view();
}

void TSqliteLogQuery::Next() {
    if (OnRow) Step();
}

} // namespace brevlund
