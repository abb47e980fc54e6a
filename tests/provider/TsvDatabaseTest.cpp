// The test provider's database without COM: its statement form, its tables
// and its two orders, so that the Windows checks stand on a known database.
#include "provider/TsvDatabase.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <stdlib.h>
#include <unistd.h>

using namespace brevlund::provider;

namespace {

std::string Error(void (*Run)()) {
    try {
        Run();
    } catch (const TDbError& E) {
        return E.Text;
    }
    return "(no error)";
}

TEST(TsvDatabase, StatementForm) {
    struct Case {
        const char* Sql;
        const char* Table; // null: an error
        const char* Text;  // the order column, or the error's text
    };
    const Case Cases[] = {
        {"Select * from Log order by CallSign", "Log", "CallSign"},
        {"  SELECT *   FROM log\tORDER BY callsign ", "log", "callsign"},
        {"select * from My_Log order by Nr", "My_Log", "Nr"},
        {"Select * from  order by CallSign", nullptr, "near \"order\": syntax error"},
        {"Select Call from Log order by CallSign", nullptr, "near \"Call\": syntax error"},
        {"Select * from Log", nullptr, "incomplete input"},
        {"Select * from My Log order by CallSign", nullptr, "near \"Log\": syntax error"},
        {"Select * from Log order by CallSign desc", nullptr, "near \"desc\": syntax error"},
        {"", nullptr, "empty statement"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Sql);
        try {
            const TSelect Select = ParseSelect(C.Sql);
            EXPECT_NE(C.Table, nullptr);
            if (C.Table) {
                EXPECT_EQ(Select.Table, C.Table);
                EXPECT_EQ(Select.OrderColumn, C.Text);
            }
        } catch (const TDbError& E) {
            EXPECT_EQ(C.Table, nullptr);
            EXPECT_EQ(E.Text, C.Text);
        }
    }
}

TEST(TsvDatabase, Collation) {
    EXPECT_FALSE(NoCaseCollation(""));
    EXPECT_TRUE(NoCaseCollation("Collation=NoCase"));
    EXPECT_TRUE(NoCaseCollation(" collation = NOCASE ;Other=1"));
    EXPECT_FALSE(NoCaseCollation("Collation=Binary"));
    EXPECT_EQ(Error([] { NoCaseCollation("Collation=German"); }), "unknown collation: German");
}

class TsvFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char Pattern[] = "/tmp/tsvdb-XXXXXX";
        Folder = mkdtemp(Pattern);
    }
    void TearDown() override { std::system(("rm -rf '" + Folder + "'").c_str()); }
    void Write(const std::string& Name, const std::string& Text) {
        std::ofstream(Folder + "/" + Name + ".tsv", std::ios::binary) << Text;
    }
    std::vector<std::string> Column(const TTable& Table, std::size_t Index) {
        std::vector<std::string> Values;
        for (const auto& Row : Table.Rows)
            Values.push_back(Row[Index] ? *Row[Index] : "NULL");
        return Values;
    }
    std::string Folder;
};

TEST_F(TsvFolder, ReadsHeaderRowsNullsAndIntegers) {
    Write("Log", "CallSign\tNr:int\tNote\r\nSM5A\t3\tfirst\r\nOH2B\t\\N\n\\N\t-12\t\xe9t\xe9\n");
    const TTable Table = ReadTable(Folder, "Log");
    ASSERT_EQ(Table.Columns.size(), 3u);
    EXPECT_EQ(Table.Columns[1].Name, "Nr");
    EXPECT_TRUE(Table.Columns[1].Integer);
    EXPECT_FALSE(Table.Columns[0].Integer);
    EXPECT_EQ(Table.Columns[0].MaxLength, 4u);
    EXPECT_EQ(Column(Table, 0), (std::vector<std::string>{"SM5A", "OH2B", "NULL"}));
    EXPECT_EQ(Column(Table, 1), (std::vector<std::string>{"3", "NULL", "-12"}));
    EXPECT_EQ(Column(Table, 2), (std::vector<std::string>{"first", "NULL", "\xe9t\xe9"}));
}

TEST_F(TsvFolder, TableErrors) {
    Write("Bad", "CallSign\tNr:int\nSM5A\tten\n");
    Write("Wide", "CallSign\nSM5A\textra\n");
    Write("Blank", "");
    const std::string F = Folder;
    const auto Read = [F](const char* Name) {
        try {
            ReadTable(F, Name);
        } catch (const TDbError& E) {
            return E.Text;
        }
        return std::string("(read)");
    };
    EXPECT_EQ(Read("Nope"), "no such table: Nope");
    EXPECT_EQ(Read(""), "no such table: ");
    EXPECT_EQ(Read("../etc/passwd"), "no such table: ../etc/passwd");
    EXPECT_EQ(Read("Bad"), "Bad.tsv line 2: 'ten' is no integer for column Nr");
    EXPECT_EQ(Read("Wide"), "Wide.tsv line 2: 2 values for 1 columns");
    EXPECT_EQ(Read("Blank"), "Blank.tsv has no header line");
}

TEST_F(TsvFolder, OrdersByteWiseOrIgnoringCaseNullsFirstStable) {
    Write("Log", "CallSign\tNr:int\nsm5b\t10\nSM5A\t9\n\\N\t-1\nSM5B\t2\nsm5a\t100\nSm5A\t\\N\n");
    TTable Bytes = ReadTable(Folder, "Log");
    OrderRows(Bytes, "callsign", false);
    EXPECT_EQ(Column(Bytes, 0),
              (std::vector<std::string>{"NULL", "SM5A", "SM5B", "Sm5A", "sm5a", "sm5b"}));
    TTable NoCase = ReadTable(Folder, "Log");
    OrderRows(NoCase, "CallSign", true);
    EXPECT_EQ(Column(NoCase, 0),
              (std::vector<std::string>{"NULL", "SM5A", "sm5a", "Sm5A", "sm5b", "SM5B"}));
    TTable Numbers = ReadTable(Folder, "Log");
    OrderRows(Numbers, "Nr", false);
    EXPECT_EQ(Column(Numbers, 1), (std::vector<std::string>{"NULL", "-1", "2", "9", "10", "100"}));
    EXPECT_EQ(Error([] {
                  TTable Empty;
                  OrderRows(Empty, "CallSign", false);
              }),
              "no such column: CallSign");
}

} // namespace
