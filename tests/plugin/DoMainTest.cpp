// The entry points' states and calling order, on the headless platform.
#include "plugin/DoMain.h"

#include "support/LogFixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace brevlund {
namespace {

using test::SetQso;
using test::TLogFixture;

class DoMainTest : public ::testing::Test {
protected:
    DoMainTest() {
        F.CreateTable();
        F.Insert({{"SM5A", "14", "CW", "59 AB"}});
    }
    ~DoMainTest() override { DoMain::Unload(); }

    QsoContext Qso(std::string_view Call, std::string_view Band, std::string_view Mode = "CW",
                   std::string_view Exchange = {}) const {
        QsoContext Record = F.Host;
        SetQso(Record, Call, Band, Mode, Exchange);
        return Record;
    }
    std::uint32_t Run() { return DoMain::Run(F.Platform, 0, &F.Host); }

    TLogFixture F;
};

TEST_F(DoMainTest, WithoutAWindowOnlyTheContextIsCopied) {
    const QsoContext Record = Qso("OH2B", "7");
    EXPECT_EQ(DoMain::AddQSO(&Record), 0);
    EXPECT_EQ(std::memcmp(&ContextCopy(), &Record, sizeof Record), 0);
    const QsoContext Other = Qso("DL1C", "14");
    EXPECT_EQ(DoMain::GetScore(&Other), 0);
    EXPECT_EQ(ContextCopy().CallSign.Text(), "DL1C");
    DoMain::Release();
    DoMain::Release();
    EXPECT_EQ(fmMainForm, nullptr);
}

TEST_F(DoMainTest, GrabNumberWritesOneZeroByteInEveryState) {
    for (bool WithWindow : {false, true}) {
        if (WithWindow) Run();
        unsigned char Number[256];
        std::memset(Number, 0x77, sizeof Number);
        const QsoContext Record = Qso("G3X", "21");
        DoMain::GrabNumber(&Record, Number);
        EXPECT_EQ(Number[0], 0);
        EXPECT_EQ(Number[1], 0x77);
        EXPECT_EQ(ContextCopy().CallSign.Text(), "G3X");
    }
}

TEST_F(DoMainTest, RunBuildsOneWindowAndRescansOnce) {
    const std::uint32_t Handle = Run();
    ASSERT_NE(fmMainForm, nullptr);
    EXPECT_EQ(Handle, fmMainForm->Handle());
    EXPECT_EQ(F.Window().Caption(), "SM5X in Brevlund DX Contest");
    EXPECT_NE(F.Window().Text().find("Score: 1*1=1"), std::string::npos);

    const QsoContext Record = Qso("OH2B", "7", "CW", "59 CD");
    EXPECT_EQ(DoMain::AddQSO(&Record), 2);
    QsoContext Second = F.Host;
    Second.CaptionTitle.Store("OTHER");
    Second.CallSign.Store("SECOND");
    EXPECT_EQ(DoMain::Run(F.Platform, 0, &Second), Handle);
    EXPECT_EQ(F.Platform.MainWindows.size(), 1u);
    EXPECT_EQ(ContextCopy().CallSign.Text(), "OH2B") << "a second _Run copies nothing";
    EXPECT_NE(F.Window().Text().find("Score: 3*2=6"), std::string::npos) << "and rescans nothing";
}

TEST_F(DoMainTest, AddQsoAndGetScore) {
    Run();
    struct Step {
        const char* Call;
        const char* Band;
        const char* Mode;
        bool Record;
        int Result;
    };
    const Step Steps[] = {
        {"SM5A", "14", "CW", true, -1},  {"OH2B", "10", "CW", false, 0},
        {"OH2B", "10", "CW", true, 0},   {"OH2B", "10", "CW", true, -1},
        {"OH2B", "10", "CW", false, -1}, {"aa1a", "7", "CW", false, 2},
        {"aa1a", "7", "CW", true, 2},    {"AA1A", "7", "CW", true, 2},
        {"aa1a", "7", "CW", true, -1},   {"ZZ9Z", "28", "SSB", true, 1},
    };
    for (const Step& S : Steps) {
        const QsoContext Record = Qso(S.Call, S.Band, S.Mode);
        const std::string Before = F.Window().Text();
        EXPECT_EQ(S.Record ? DoMain::AddQSO(&Record) : DoMain::GetScore(&Record), S.Result)
            << S.Call << " " << S.Band << (S.Record ? " recorded" : " asked");
        if (!S.Record || S.Result < 0) {
            EXPECT_EQ(F.Window().Text(), Before) << "unchanged summary";
        }
    }
    EXPECT_EQ(fmMainForm->Scores().WorkedQSOs.Count(), 5u);
}

TEST_F(DoMainTest, ReleaseThenRunGivesANewWindowWhileTheOldOneWaits) {
    const std::uint32_t First = Run();
    DoMain::Release();
    EXPECT_EQ(fmMainForm, nullptr);
    const QsoContext Record = Qso("OH2B", "7");
    EXPECT_EQ(DoMain::AddQSO(&Record), 0);
    EXPECT_EQ(F.Platform.MainWindows.size(), 1u) << "released at the next dispatch";

    const std::uint32_t Second = Run();
    EXPECT_NE(Second, First);
    EXPECT_EQ(F.Platform.MainWindows.size(), 1u)
        << "the new window's rescan pumped the old one's release";
    EXPECT_NE(F.Window().Text().find("Score: 1*1=1"), std::string::npos);
}

TEST_F(DoMainTest, CloseMessageEndsTheWindowUntilTheNextRun) {
    Run();
    F.Window().SendClose();
    F.Platform.ProcessMessages();
    EXPECT_EQ(fmMainForm, nullptr);
    const QsoContext Record = Qso("OH2B", "7");
    EXPECT_EQ(DoMain::AddQSO(&Record), 0);
    Run();
    EXPECT_EQ(DoMain::AddQSO(&Record), 2);
}

TEST_F(DoMainTest, AFailingConstructionLeavesNoWindow) {
    F.Platform.QueryFactory = []() -> std::unique_ptr<TLogQuery> {
        throw std::runtime_error("no query");
    };
    EXPECT_THROW(Run(), std::runtime_error);
    EXPECT_EQ(fmMainForm, nullptr);
    EXPECT_TRUE(F.Platform.MainWindows.empty());
}

TEST_F(DoMainTest, UnloadDestroysEveryLiveWindow) {
    Run();
    DoMain::Release();
    Run();
    EXPECT_EQ(F.Platform.MainWindows.size(), 1u);
    DoMain::Unload();
    EXPECT_TRUE(F.Platform.MainWindows.empty());
    EXPECT_EQ(fmMainForm, nullptr);
}

TEST(GetInfo, SameInEveryState) {
    unsigned char Info[600];
    std::memset(Info, 0xCC, sizeof Info);
    DoMain::GetInfo(Info);
    EXPECT_EQ(Info[0], 19);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(Info + 261), 14), "qx7kbn_contest");
    EXPECT_EQ(Info[20], 0xCC);
}

} // namespace
} // namespace brevlund
