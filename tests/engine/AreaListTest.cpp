#include "engine/AreaList.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

namespace brevlund {
namespace {

using Lines = std::vector<std::string>;

// One table for both rules of the host executable's path: its name (the
// registry key, the error box's title) and the area list beside it.
TEST(HostPath, NameAndAreaListOfTheHostExecutable) {
    struct Case {
        const char* Exe;
        const char* Name;
        const char* AreaList;
    };
    const Case Cases[] = {
        {"C:\\Logs\\Logger.exe", "Logger", "C:\\Logs\\Plugins/brevlund.dom"},
        {"C:\\Logs\\LOGGER.EXE", "LOGGER", "C:\\Logs\\Plugins/brevlund.dom"},
        {"C:Logger.exe", "Logger", "C:Plugins/brevlund.dom"},
        {"C:Logger.EXE", "Logger", "C:Plugins/brevlund.dom"},
        {"\\\\server\\share\\a:b\\Logger.exe", "Logger",
         "\\\\server\\share\\a:b\\Plugins/brevlund.dom"},
        {"/opt/host/Logger", "Logger", "/opt/host/Plugins/brevlund.dom"},
        {"/opt/host/log.v2.exe", "log.v2", "/opt/host/Plugins/brevlund.dom"},
        {"C:\\a.b\\Logger", "Logger", "C:\\a.b\\Plugins/brevlund.dom"},
        {"Logger.exe", "Logger", "Plugins/brevlund.dom"},
        {"Logger", "Logger", "Plugins/brevlund.dom"},
        {"C:\\Logs\\.exe", "", "C:\\Logs\\Plugins/brevlund.dom"},
        {"", "", "Plugins/brevlund.dom"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(HostNameFromPath(C.Exe), C.Name) << C.Exe;
        EXPECT_EQ(AreaListPath(C.Exe), C.AreaList) << C.Exe;
    }
}

TEST(SplitLines, ThreeLineEndsAndNul) {
    struct Case {
        std::string Text;
        Lines Expected;
    };
    const Case Cases[] = {
        {"", {}},
        {"AB=AB", {"AB=AB"}},
        {"A\r\nB", {"A", "B"}},
        {"A\nB\n", {"A", "B"}},
        {"A\rB\r\n\nC", {"A", "B", "", "C"}},
        {"A\r\r\nB", {"A", "", "B"}},
        {"\n", {""}},
        {"\r\n\r\n", {"", ""}},
        {"\n\r", {"", ""}},
        {std::string("A\0B\nC", 5), {"A"}},
        {std::string("\0AB=AB", 6), {}},
        {" AB=AB \t\r\n", {" AB=AB \t"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(SplitLines(C.Text), C.Expected) << C.Text;
}

TEST(ItemCaption, FourCharactersAfterTheFirstEqualsTrimmed) {
    struct Case {
        const char* Line;
        const char* Caption;
    };
    const Case Cases[] = {{"AB=AB", "AB"},    {"AB=AB ", "AB"}, {"AB=ABCDEF", "ABCD"},
                          {"=XY", "XY"},      {"=", ""},        {"AB= X  Y", "X"},
                          {"A=B=C", "B=C"},   {"ab=ab", "ab"},  {"AB=\tAB\t", "AB"},
                          {"AB=  ABCD", "AB"}};
    for (const Case& C : Cases)
        EXPECT_EQ(ItemCaption(C.Line), C.Caption) << C.Line;

    TAreaList List;
    List.SetLines({"; comment", "", "AB=AB", "AB=AB", "cd=cd", "=", "plain"});
    EXPECT_EQ(List.ItemCaptions(), (Lines{"AB", "AB", "cd", ""}));
}

TEST(AreaList, ValueAndMultiplierTest) {
    TAreaList List;
    List.SetLines({"no equals", "ab=AB", "AB=XY", "CD=CD ", "EF=ef", "GH=GH=", "=IJ", "KL=KL",
                   "kl=XX", "MN=MNOPQR", "OP==OP"});
    struct Case {
        const char* Code;
        const char* Value;
        bool Counts;
    };
    const Case Cases[] = {{"AB", "AB", true},  {"ab", "AB", false},     {"CD", "CD ", false},
                          {"EF", "ef", false}, {"GH", "GH=", false},    {"IJ", "", false},
                          {"KL", "KL", true},  {"MN", "MNOPQR", false}, {"OP", "=OP", false},
                          {"QR", "", false},   {"", "IJ", false}};
    for (const Case& C : Cases) {
        EXPECT_EQ(List.Value(C.Code), C.Value) << C.Code;
        EXPECT_EQ(List.CountsAsArea(C.Code), C.Counts) << C.Code;
        EXPECT_EQ(List.CountsAsArea(C.Code), C.Counts) << C.Code << " (remembered)";
    }
    List.SetLines({"AB=XY"}); // new lines forget what was remembered
    EXPECT_FALSE(List.CountsAsArea("AB"));
}

TEST(AreaList, LoadsRealFiles) {
    test::TTempDir Dir;
    struct Case {
        const char* Name;
        std::string Content;
        Lines Expected;
    };
    std::string Binary(4096, '\0');
    std::mt19937 Random(7);
    for (char& C : Binary)
        C = static_cast<char>(Random());
    Binary[0] = 'A';
    const std::string LongLine(100000, 'x');
    const Case Cases[] = {
        {"crlf", "AB=AB\r\nCD=CD\r\n", {"AB=AB", "CD=CD"}},
        {"empty", "", {}},
        {"no line end", LongLine, {LongLine}},
        {"binary", Binary, SplitLines(Binary)},
    };
    for (const Case& C : Cases) {
        TAreaList List;
        List.SetLines({"OLD=OLD"});
        EXPECT_TRUE(List.LoadFromFile(Dir.Write(C.Name, C.Content))) << C.Name;
        EXPECT_EQ(List.Lines(), C.Expected) << C.Name;
    }

    TAreaList List;
    List.SetLines({"OLD=OLD"});
    EXPECT_FALSE(List.LoadFromFile(Dir.Path + "/missing"));
    EXPECT_FALSE(List.LoadFromFile(Dir.Path)) << "a directory is no file";
    EXPECT_EQ(List.Lines(), Lines{"OLD=OLD"});
}

TEST(AreaList, FoundBesideTheHostExecutable) {
    test::TTempDir Dir;
    mkdir((Dir.Path + "/Plugins").c_str(), 0755);
    Dir.Write("Plugins/brevlund.dom", "AB=AB\n");
    TAreaList List;
    ASSERT_TRUE(List.LoadFromFile(AreaListPath(Dir.Path + "/Logger.exe")));
    EXPECT_TRUE(List.CountsAsArea("AB"));
}

} // namespace
} // namespace brevlund
