// brevlund score --needed and the multipliers window agree: for the same QSOs,
// on every band button, the areas the tool lists as still needed are exactly
// the items the window leaves unmarked.
#include "CliSupport.h"

#include "support/LogFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace brevlund {
namespace {

using test::Brevlund;
using test::LogRow;
using test::TLogFixture;

// Values in small letters, a trailing blank, a name in small letters, a long
// value and an empty name: captions that are never marked, or marked oddly.
const char* const Areas = "AB=AB\nab=CD\nCD=CD\nEF=EF \nGH=GH\ngh=gh\nIJ=IJ\nKL=KLMNOP\n"
                          "=XY\nXY=XY\n; a comment\n";

// Letter case in calls, modes and exchanges; bands outside the nine, with
// blanks, with colons, and ending in a label ("17" ends in "7").
const std::vector<LogRow> Table = {
    {"SM5A", "14", "CW", "599 AB"},  {"sm5a", "14", "CW", "599 cd"},
    {"OH2B", "7", "CW", "599 gh"},   {"OH2B", "17", "CW", "599 IJ"},
    {"DL1C", " 14", "CW", "599 EF"}, {"DL1C", "14 ", "CW", "599 XY"},
    {"G3D", "1.8", "CW", "599 IJ"},  {"A1", "1.8:3.5", "CW", "599 GH"},
    {"Z9", "28", "RTTY", "xy"},      {"F5E", "21", "SSB", " 59  ab \t"},
    {"K1", "", "CW", "599 AB"},      {"K2", "144", "CW", "599 CD"},
    {"K3", "x14", "CW", "599 KL"},   {"SM5A", "14", "CW", "599 GH"},
};

// A small generated log: every mix of the pools, thinned by a fixed rule.
std::vector<LogRow> Generated() {
    const char* const Calls[] = {"A1", "a1", "B2", "C3"};
    const char* const Bands[] = {"14", "7", "17", "1.8", " 21", "28", "10", "x", "3.5"};
    const char* const Modes[] = {"CW", "cw", "SSB"};
    const char* const Exchanges[] = {"599 AB", "ab", "59 Cd", "GH", "5NN gh", "IJ ", "XY", "59"};
    std::vector<LogRow> Rows;
    unsigned Seed = 7;
    for (const char* Call : Calls)
        for (const char* Band : Bands)
            for (const char* Mode : Modes) {
                Seed = Seed * 1103515245u + 12345u;
                if ((Seed >> 16) % 3 == 0) continue;
                Rows.push_back({Call, Band, Mode, Exchanges[(Seed >> 8) % 8]});
            }
    return Rows;
}

// The tool's "Areas still needed" block: label -> areas.
std::map<std::string, std::vector<std::string>> NeededByTool(const std::string& Out) {
    std::map<std::string, std::vector<std::string>> Needed;
    std::istringstream Lines(Out.substr(Out.find("\nAreas still needed:\n") + 21));
    std::string Line;
    while (std::getline(Lines, Line)) {
        std::istringstream Words(Line);
        std::string Label, Area;
        Words >> Label;
        Label.pop_back(); // the ":"
        std::vector<std::string>& Areas = Needed[Label];
        while (Words >> Area)
            if (Area != "none") Areas.push_back(Area);
    }
    return Needed;
}

TEST(NeededParity, ToolAndMultipliersWindowLeaveTheSameAreasUnmarked) {
    for (const std::vector<LogRow>& Qsos : {Table, Generated()}) {
        TLogFixture F(Areas);
        F.CreateTable(); // empty: the first showing's rescan counts nothing
        F.Run();
        std::string Csv;
        for (const LogRow& Q : Qsos) {
            F.AddQSO(Q.Call, Q.Band, Q.Mode, Q.Exchange);
            Csv += Q.Call + ";" + Q.Band + ";" + Q.Mode + ";" + Q.Exchange + "\n";
        }
        const test::TRun Run = Brevlund({"score", F.Dir.Write("log.csv", Csv), "--areas",
                                         F.Dir.Path + "/Plugins/brevlund.dom", "--needed"});
        ASSERT_EQ(Run.Code, 0) << Run.Err;
        const auto Needed = NeededByTool(Run.Out);
        ASSERT_EQ(Needed.size(), BandLabels.size());

        F.Window().ClickMultipliers();
        F.Platform.ProcessMessages();
        THeadlessDomListWindow& List = *F.Platform.DomListWindows.back();
        std::size_t Marked = 0;
        for (int Number = 1; Number <= 9; ++Number) {
            List.ClickBand(Number);
            F.Platform.ProcessMessages();
            const std::string Label(BandLabels[Number - 1]);
            const std::vector<TItemLook> Looks = List.Looks();
            std::vector<std::string> Unmarked;
            for (std::size_t I = 0; I < List.Items.size(); ++I) {
                if (Looks[I] != TItemLook::Marked)
                    Unmarked.push_back(List.Items[I]);
                else
                    ++Marked;
            }
            EXPECT_EQ(Needed.at(Label), Unmarked) << "band " << Label;
        }
        EXPECT_GT(Marked, 9u); // the comparison is not one of empty lists
    }
}

} // namespace
} // namespace brevlund
