// The rescan's rule as the window, brevlund, the benches and the ADO checks
// take it: the statement, the columns in order, one row into the context.
#include "engine/Rescan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace brevlund {
namespace {

// One row of named columns; a name not in it fails as a database would.
class TRowQuery final : public TLogQuery {
public:
    explicit TRowQuery(std::map<std::string, std::string> ARow) : Row(std::move(ARow)) {}
    void Attach(std::uint32_t) override {}
    void Close() override {}
    void SetStatement(const std::string&) override {}
    void Open() override {}
    bool AtEnd() const override { return false; }
    void Next() override {}
    std::string ColumnText(std::string_view Name) override {
        const auto Found = Row.find(std::string(Name));
        if (Found == Row.end()) throw FieldNotFound(Name);
        return Found->second;
    }

private:
    std::map<std::string, std::string> Row;
};

TEST(RescanRow, StatementColumnsAndFields) {
    EXPECT_EQ(RescanStatement("Log"), "Select * from Log order by CallSign");
    EXPECT_EQ(RescanStatement(""), "Select * from  order by CallSign");
    EXPECT_EQ(RescanStatement("My Log"), "Select * from My Log order by CallSign");

    const std::string Long(300, 'x');
    const TRescanRow Texts = {"599 ab", "DL", "DA", Long, " 14", "cw", "eu\xe9"};
    std::map<std::string, std::string> Named;
    for (std::size_t I = 0; I < Texts.size(); ++I)
        Named[std::string(RescanColumns[I])] = Texts[I];
    TRowQuery Query(Named);
    TRescanRow Visited;
    ForEachRescanColumn(
        Query, [&](TRescanColumn Column, std::string_view Text) { Visited[Column] = Text; });
    EXPECT_EQ(Visited, Texts);

    QsoContext Applied{}, Read{};
    ApplyRescanRow(Applied, Texts);
    ReadRescanRow(Query, Read);
    EXPECT_EQ(std::memcmp(&Applied, &Read, sizeof Read), 0);
    EXPECT_EQ(Read.QSOReportRecived.Text(), "599 ab");
    EXPECT_EQ(Read.DXCCPrefix.Text(), "DL");
    EXPECT_EQ(Read.MainPrefix.Text(), "DA");
    EXPECT_EQ(Read.CallSign.Text(), Long.substr(0, 255));
    EXPECT_EQ(Read.DigiBand.Text(), " 14");
    EXPECT_EQ(Read.QSOMode.Text(), "cw");
    EXPECT_EQ(Read.Continent.Text(), "EU\xe9") << "a to z only become capitals";

    // A row lacking two columns reports the first in read order, and the
    // columns before it are stored already.
    Named.erase("DigiBand");
    Named.erase("MainPrefix");
    TRowQuery Lacking(Named);
    QsoContext Partial{};
    try {
        ReadRescanRow(Lacking, Partial);
        ADD_FAILURE() << "no error";
    } catch (const TDatabaseError& Error) {
        EXPECT_STREQ(Error.what(), "LogQuery: Field 'MainPrefix' not found");
    }
    EXPECT_EQ(Partial.DXCCPrefix.Text(), "DL");
    EXPECT_EQ(Partial.CallSign.Text(), "");
}

} // namespace
} // namespace brevlund
