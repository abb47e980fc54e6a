// The test provider's database: a folder of tab-separated text files, one per
// table, and the one statement form it answers,
//   Select * from NAME order by COLUMN
// No Windows headers here, so the parsing and ordering stay plain C++.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brevlund::provider {

struct TColumn {
    std::string Name;          // as the header line names it, without ":int"
    bool Integer = false;      // header name ended in ":int"
    std::size_t MaxLength = 0; // longest value in characters (text columns)
};

using TValue = std::optional<std::string>; // nullopt is a null (\N)

struct TTable {
    std::vector<TColumn> Columns;
    std::vector<std::vector<TValue>> Rows;
};

// Failures carry the text a database would give, e.g. "no such table: Log".
struct TDbError {
    std::string Text;
};

// Reads NAME.tsv in Folder. First line: column names separated by tabs; every
// further line is a row; \N is a null; missing trailing fields are nulls.
// A value of an integer column must be a decimal integer. Throws TDbError.
TTable ReadTable(const std::string& Folder, const std::string& Name);

// The parts of "Select * from NAME order by COLUMN", keywords in any letter
// case, separated by blanks. Throws TDbError for any other statement.
struct TSelect {
    std::string Table, OrderColumn;
};
TSelect ParseSelect(const std::string& Sql);

// Sorts the rows by the column (found without regard to letter case): nulls
// first, integers by value, text by byte value or, with NoCase, with the
// letters A to Z folded to a to z. Rows with equal keys keep their order.
// Throws TDbError "no such column: NAME".
void OrderRows(TTable& Table, const std::string& Column, bool NoCase);

// "Collation=NoCase" (names and values in any letter case, pairs separated by
// ';') gives true; "Collation=Binary" or no collation gives false.
// Throws TDbError for an unknown collation.
bool NoCaseCollation(const std::string& ProviderString);

} // namespace brevlund::provider
