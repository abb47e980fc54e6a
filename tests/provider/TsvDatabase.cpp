#include "TsvDatabase.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace brevlund::provider {

namespace {

std::string Lower(std::string Text) {
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
    return Text;
}

bool SameNoCase(const std::string& A, const std::string& B) {
    return Lower(A) == Lower(B);
}

std::vector<std::string> SplitTabs(const std::string& Line) {
    std::vector<std::string> Fields(1);
    for (char C : Line) {
        if (C == '\t')
            Fields.emplace_back();
        else
            Fields.back() += C;
    }
    return Fields;
}

long long ParseInteger(const std::string& Text, bool& Ok) {
    errno = 0;
    char* End = nullptr;
    const long long Value = std::strtoll(Text.c_str(), &End, 10);
    Ok = !Text.empty() && End && *End == '\0' && errno == 0 && Value >= INT_MIN && Value <= INT_MAX;
    return Value;
}

} // namespace

TTable ReadTable(const std::string& Folder, const std::string& Name) {
    if (Name.empty() || Name.find_first_of("\\/:*?\"<>|") != std::string::npos)
        throw TDbError{"no such table: " + Name};
    std::ifstream File(Folder + "/" + Name + ".tsv", std::ios::binary); // "/" serves Windows too
    if (!File) throw TDbError{"no such table: " + Name};
    TTable Table;
    std::string Line;
    std::size_t LineNumber = 0;
    while (std::getline(File, Line)) {
        ++LineNumber;
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        std::vector<std::string> Fields = SplitTabs(Line);
        if (LineNumber == 1) {
            for (std::string& Field : Fields) {
                TColumn Column;
                constexpr const char* IntSuffix = ":int";
                if (Field.size() > 4 && Field.compare(Field.size() - 4, 4, IntSuffix) == 0) {
                    Column.Integer = true;
                    Field.resize(Field.size() - 4);
                }
                Column.Name = Field;
                Table.Columns.push_back(Column);
            }
            continue;
        }
        if (Fields.size() > Table.Columns.size()) {
            std::ostringstream Text;
            Text << Name << ".tsv line " << LineNumber << ": " << Fields.size() << " values for "
                 << Table.Columns.size() << " columns";
            throw TDbError{Text.str()};
        }
        std::vector<TValue> Row(Table.Columns.size());
        for (std::size_t I = 0; I < Fields.size(); ++I) {
            if (Fields[I] == "\\N") continue;
            TColumn& Column = Table.Columns[I];
            if (Column.Integer) {
                bool Ok = false;
                ParseInteger(Fields[I], Ok);
                if (!Ok) {
                    std::ostringstream Text;
                    Text << Name << ".tsv line " << LineNumber << ": '" << Fields[I]
                         << "' is no integer for column " << Column.Name;
                    throw TDbError{Text.str()};
                }
            }
            Column.MaxLength = std::max(Column.MaxLength, Fields[I].size());
            Row[I] = std::move(Fields[I]);
        }
        Table.Rows.push_back(std::move(Row));
    }
    if (LineNumber == 0) throw TDbError{Name + ".tsv has no header line"};
    return Table;
}

TSelect ParseSelect(const std::string& Sql) {
    std::istringstream Words(Sql);
    std::vector<std::string> Parts;
    std::string Word;
    while (Words >> Word)
        Parts.push_back(Word);
    // No table name: the word after "from" is the next keyword.
    if (Parts.size() == 6 && Lower(Parts[3]) == "order")
        throw TDbError{"near \"" + Parts[3] + "\": syntax error"};
    const char* Expected[] = {"select", "*", "from", nullptr, "order", "by", nullptr};
    for (std::size_t I = 0; I < 7; ++I) {
        if (I >= Parts.size())
            throw TDbError{Parts.empty() ? "empty statement" : "incomplete input"};
        if (Expected[I] && Lower(Parts[I]) != Expected[I])
            throw TDbError{"near \"" + Parts[I] + "\": syntax error"};
    }
    if (Parts.size() > 7) throw TDbError{"near \"" + Parts[7] + "\": syntax error"};
    return {Parts[3], Parts[6]};
}

void OrderRows(TTable& Table, const std::string& Column, bool NoCase) {
    std::size_t Index = Table.Columns.size();
    for (std::size_t I = 0; I < Table.Columns.size(); ++I)
        if (SameNoCase(Table.Columns[I].Name, Column)) {
            Index = I;
            break;
        }
    if (Index == Table.Columns.size()) throw TDbError{"no such column: " + Column};
    const bool Integer = Table.Columns[Index].Integer;
    std::stable_sort(Table.Rows.begin(), Table.Rows.end(),
                     [&](const std::vector<TValue>& A, const std::vector<TValue>& B) {
                         const TValue &X = A[Index], &Y = B[Index];
                         if (!X || !Y) return !X && Y;
                         if (Integer) {
                             bool Ok = false;
                             return ParseInteger(*X, Ok) < ParseInteger(*Y, Ok);
                         }
                         // std::string compares bytes as unsigned values.
                         return NoCase ? Lower(*X) < Lower(*Y) : *X < *Y;
                     });
}

bool NoCaseCollation(const std::string& ProviderString) {
    bool NoCase = false;
    std::istringstream Pairs(ProviderString);
    std::string Pair;
    while (std::getline(Pairs, Pair, ';')) {
        const std::size_t Equals = Pair.find('=');
        if (Equals == std::string::npos) continue;
        auto Trim = [](std::string Text) {
            const auto First = Text.find_first_not_of(" \t");
            const auto Last = Text.find_last_not_of(" \t");
            return First == std::string::npos ? std::string()
                                              : Text.substr(First, Last - First + 1);
        };
        if (Lower(Trim(Pair.substr(0, Equals))) != "collation") continue;
        const std::string Value = Lower(Trim(Pair.substr(Equals + 1)));
        if (Value == "nocase")
            NoCase = true;
        else if (Value == "binary")
            NoCase = false;
        else
            throw TDbError{"unknown collation: " + Trim(Pair.substr(Equals + 1))};
    }
    return NoCase;
}

} // namespace brevlund::provider
