// Contest definitions: the sponsors' JSON read as written or turned away with
// a reason, the built-in ones, and how each kind of field compares.
#include "Contest.h"
#include "CliSupport.h"
#include "Diagnostics.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace brevlund {
namespace {

using cli::TFieldKind;

TEST(Contest, FieldsCompareByTheirKind) {
    const struct {
        TFieldKind Kind;
        const char *A, *B;
        bool Same;
    } Cases[] = {
        {TFieldKind::Rst, "599", "339", true},
        {TFieldKind::Number, "030", "30", true},
        {TFieldKind::Number, "108", "0108", true},
        {TFieldKind::Number, "05", "5", true},
        {TFieldKind::Number, "0", "000", true},
        {TFieldKind::Number, "31", "30", false},
        {TFieldKind::Number, "5A", "5a", true},
        {TFieldKind::Number, "05A", "5A", false},
        {TFieldKind::Text, "on", "ON", true},
        {TFieldKind::Text, "ON", "ONT", false},
        {TFieldKind::Call, "oh2ddd", "OH2DDD/P", true},
        {TFieldKind::Call, "SV9/OH2DDD", "OH2DDD", true},
        {TFieldKind::Call, "OH2DDD", "OH2DDE", false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(cli::SameField(C.Kind, C.A, C.B), C.Same) << C.A << " " << C.B;
}

TEST(Contest, ExchangesAgreeOnTheComparedFields) {
    const cli::TContest Serial = cli::LoadContest("rst+serial");
    EXPECT_EQ(cli::CompareExchange(Serial, "599 030", "579 30").Disagree, 0);
    EXPECT_EQ(cli::CompareExchange(Serial, "599 031", "599 30").Disagree, 1);
    EXPECT_EQ(cli::CompareExchange(Serial, "599", "599 30").Agree, 0) << "a field missing";
    const cli::TContest Dx = cli::LoadContest("brevlund-dx");
    EXPECT_EQ(cli::CompareExchange(Dx, "59 an", "599 AN").Agree, 1);
    EXPECT_EQ(cli::CompareExchange(Dx, "599 AN", "599 BO").Disagree, 1);
}

TEST(Contest, SponsorsDefinitions) {
    const cli::TContest LzFd = cli::ParseContest(
        R"({"contest": "LZ-FD",
            "sent":     [{"name": "nr", "kind": "number"}, {"name": "last", "kind": "number"}],
            "received": [{"name": "nr", "kind": "number"}, {"name": "last", "kind": "number"}],
            "compare":  ["nr", "last"],
            "repeat_after_minutes": 30,
            "period": {"start": "2016-08-20 0800", "end": "2016-08-20 1159"},
            "cabrillo_contest": ["LZ-FD", "LZ-HF-FIELD"],
            "categories": ["operator", "POWER", "BAND"]})",
        "lz.json");
    EXPECT_EQ(LzFd.Name, "LZ-FD");
    ASSERT_EQ(LzFd.Received.size(), 2u);
    EXPECT_EQ(LzFd.Received[1].Name, "last");
    EXPECT_EQ(LzFd.Received[1].Kind, TFieldKind::Number);
    EXPECT_EQ(LzFd.Compare, (std::vector<std::string>{"nr", "last"}));
    EXPECT_EQ(LzFd.RepeatAfterMinutes, 30);
    ASSERT_TRUE(LzFd.Period);
    EXPECT_EQ(LzFd.Period->End - LzFd.Period->Start, 239);
    EXPECT_EQ(cli::LayoutOf(LzFd).Sent, 2);
    EXPECT_EQ(LzFd.CabrilloNames, (std::vector<std::string>{"LZ-FD", "LZ-HF-FIELD"}));
    using logformats::TCategoryPart;
    EXPECT_EQ(LzFd.CategoryParts,
              (std::vector<TCategoryPart>{TCategoryPart::Operator, TCategoryPart::Power,
                                          TCategoryPart::Band}));

    const struct {
        const char* Json;
        const char* Why; // a part of the message
    } Bad[] = {
        {"[", "not a contest definition"},
        {"[]", "a JSON object"},
        {R"({"sent": [{"name": "a"}], "received": [{"name": "a"}]})", "\"contest\""},
        {R"({"contest": "X", "received": [{"name": "a"}]})", "\"sent\" must list"},
        {R"({"contest": "X", "sent": [{"kind": "text"}], "received": [{"name": "a"}]})",
         "needs a \"name\""},
        {R"({"contest": "X", "sent": [{"name": "a", "kind": "date"}], "received": [{"name": "a"}]})",
         "the kinds are rst, number, text and call"},
        {R"({"contest": "X", "sent": [{"name": "a"}], "received": [{"name": "b"}], "compare": ["a"]})",
         "not both a sent and a received field"},
        {R"({"contest": "X", "sent": [{"name": "a"}], "received": [{"name": "a"}],
             "repeat_after_minutes": -5})",
         "0 or more"},
        {R"({"contest": "X", "sent": [{"name": "a"}], "received": [{"name": "a"}],
             "period": {"start": "2016-08-20 0800", "end": "2016-08-20 0700"}})",
         "ends before it starts"},
        {R"({"contest": "X", "sent": [{"name": "a"}], "received": [{"name": "a"}],
             "period": {"start": "2016-02-30 0800", "end": "2016-08-20 0700"}})",
         "no time such as"},
        {R"({"contest": "X", "sent": [{"name": "a"}], "received": [{"name": "a"}],
             "cabrillo_contest": "X"})",
         "must list the names"},
        {R"({"contest": "X", "sent": [{"name": "a"}], "received": [{"name": "a"}],
             "categories": ["OPERATOR", "COLOUR"]})",
         "must list parts of the category the results rank by: OPERATOR, BAND,"},
    };
    for (const auto& B : Bad) {
        try {
            cli::ParseContest(B.Json, "c.json");
            ADD_FAILURE() << B.Json << " was taken";
        } catch (const cli::TNothingDone& E) {
            EXPECT_NE(std::string(E.what()).find(B.Why), std::string::npos) << E.what();
            EXPECT_EQ(std::string(E.what()).rfind("c.json: ", 0), 0u) << E.what();
        }
    }
}

// The definitions of real contests in examples/contests, as sponsors would
// write them, all read.
TEST(Contest, ExampleDefinitionsRead) {
    std::size_t Read = 0;
    for (const auto& Entry : std::filesystem::directory_iterator(BREVLUND_EXAMPLES "/contests")) {
        const cli::TContest C = cli::LoadContest(Entry.path().string());
        EXPECT_FALSE(C.Name.empty() || C.Received.empty()) << Entry.path();
        ++Read;
    }
    EXPECT_GE(Read, 8u);
}

TEST(Contest, OnTheCommandLine) {
    const std::string Examples = BREVLUND_EXAMPLES "/checklogs";
    const test::TRun List = test::Brevlund({"check-logs", "--contest", "list"});
    EXPECT_EQ(List.Code, 0);
    for (const cli::TContest& C : cli::BuiltInContests())
        EXPECT_NE(List.Out.find(C.Name + ": sent"), std::string::npos) << List.Out;

    EXPECT_EQ(test::Brevlund({"check-logs", Examples, "--contest", "brevlund-dx"}).Out,
              test::Brevlund({"check-logs", Examples}).Out);
    // The entrants' reports name the contest checked.
    test::TTempDir Dir;
    ASSERT_EQ(
        test::Brevlund({"check-logs", Examples, "--contest", "rst+text", "--out", Dir.Path}).Code,
        0);
    std::ifstream Report(Dir.Path + "/SM5AAA.txt");
    std::string Title;
    std::getline(Report, Title);
    EXPECT_EQ(Title.rfind("rst+text: the checked log of SM5AAA", 0), 0u) << Title;

    const test::TRun Unknown = test::Brevlund({"check-logs", Examples, "--contest", "cqww"});
    EXPECT_EQ(Unknown.Code, 2);
    EXPECT_NE(Unknown.Err.find("no built-in contest \"cqww\""), std::string::npos) << Unknown.Err;
    const test::TRun Both = test::Brevlund(
        {"score", Examples + "/SM5AAA.log", "--contest", "rst+zone", "--exchange-tokens", "2"});
    EXPECT_EQ(Both.Code, 2);
    EXPECT_NE(Both.Err.find("one or the other"), std::string::npos) << Both.Err;
}

} // namespace
} // namespace brevlund
