#include "storage/FormStorage.h"

#include "StorageFakes.h"
#include "storage/FileStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace brevlund {
namespace {

using test::TFakeScreen;
using test::TFakeWindow;
using Pairs = std::vector<std::pair<std::string, std::string>>;

const char* const Host = "C:\\Logs\\Logger.exe";
const std::string MainSection = "Software\\Logger\\TfmMainForm";

constexpr TWindowPlacementData Placement(int L, int T, int R, int B, unsigned Show = 0,
                                         unsigned Flags = 0) {
    return {Flags, Show, -1, -1, -1, -1, L, T, R, B};
}

// One run of the host: a store over the file, a window, a screen and the storage
// of the statistics window (or of the multipliers window), with every call of
// the window's own handlers and every error box recorded.
class TRun {
public:
    explicit TRun(const std::string& File, bool MainWindow = true,
                  TFakeScreen Screen = {1024, 768, 96}, const char* Exe = Host)
        : Store(File, Exe), Screen(Screen),
          Storage(MainWindow ? "TfmMainForm" : "TfmDomList", Store, Window, this->Screen) {
        if (MainWindow)
            Storage.StoredValues.Add("CurrentBand", 0);
        else
            Storage.Options = fpPosition;
        Storage.ShowError = [this](const std::string& Text) { Errors.push_back(Text); };
        Storage.WindowHandlers.Show = [this] { Calls += Storage.IsRestored() ? "S" : "s"; };
        Storage.WindowHandlers.CloseQuery = [this](bool& CanClose) {
            Calls += "C";
            CanClose = AllowClose;
        };
        Storage.WindowHandlers.Destroy = [this] { Calls += "D"; };
    }

    void Show() { Storage.OnShow(); }
    void Close() {
        bool CanClose = true;
        Storage.OnCloseQuery(CanClose);
    }
    void Destroy() { Storage.OnDestroy(); }

    TFileStore Store;
    TFakeWindow Window;
    TFakeScreen Screen;
    TFormStorage Storage;
    std::vector<std::string> Errors;
    std::string Calls;
    bool AllowClose = true;
};

class FormStorage : public testing::Test {
protected:
    void Plant(const Pairs& Values, const std::string& Section = MainSection) {
        for (const auto& [Name, Text] : Values)
            TFileStore(File, Host).PutValue(Section, {Name, "sz", Text});
    }
    Pairs Saved(const std::string& Section = MainSection) const {
        Pairs Result;
        for (const TFileValue& V : TFileStore(File, Host).Values(Section))
            Result.emplace_back(V.Name, V.Type + ":" + V.Data);
        return Result;
    }

    test::TTempDir Dir;
    std::string File = Dir.Path + "/store.txt";
};

TEST_F(FormStorage, FirstRunKeepsTheDesignAndSavesEveryValue) {
    const std::vector<std::string> Placement = {"FormVersion",
                                                "Flags",
                                                "ShowCmd",
                                                "PixelsPerInch",
                                                "MinMaxPos(1024x768)",
                                                "MinMaxPos",
                                                "NormPos(1024x768)",
                                                "NormPos",
                                                "Visible"};
    for (const bool Main : {true, false}) {
        SCOPED_TRACE(Main ? "statistics window" : "multipliers window");
        test::TTempDir Fresh;
        TRun Run(Fresh.Path + "/store.txt", Main);
        Run.Show();
        EXPECT_EQ(Run.Calls, "S");
        EXPECT_TRUE(Run.Errors.empty());
        EXPECT_FALSE(Run.Window.Placed);
        EXPECT_EQ(Run.Window.Maximised, Main ? std::optional<bool>(false) : std::nullopt);
        EXPECT_EQ(Run.Storage.ReadStoredValue("CurrentBand"), Main ? TVariant("0") : TVariant());
        EXPECT_TRUE(Run.Store.KeyExists("software\\LOGGER")) << "host key made at restore";
        const std::string Section =
            Main ? "Software\\Logger\\TfmMainForm" : "Software\\Logger\\TfmDomList";
        EXPECT_FALSE(Run.Store.KeyExists(Section)) << "section waits for the first save";

        Run.Close();
        std::vector<std::string> Names;
        for (const TFileValue& V : Run.Store.Values(Section))
            Names.push_back(V.Name);
        std::vector<std::string> Expected = Placement;
        if (Main) Expected.push_back("CurrentBand");
        EXPECT_EQ(Names, Expected);
    }
}

TEST_F(FormStorage, WritesTheExactTexts) {
    TRun Run(File);
    Run.Window.Placement = Placement(10, 20, 384, 216, 1);
    Run.Show();
    Run.Storage.WriteStoredValue("currentBAND", 5);
    Run.Storage.WriteStoredValue("Added", "text");
    Run.Destroy();
    EXPECT_EQ(Saved(), (Pairs{{"FormVersion", "sz:0"},
                              {"Flags", "sz:0"},
                              {"ShowCmd", "sz:1"},
                              {"PixelsPerInch", "sz:96"},
                              {"MinMaxPos(1024x768)", "sz:-1,-1,-1,-1"},
                              {"MinMaxPos", "sz:-1,-1,-1,-1"},
                              {"NormPos(1024x768)", "sz:10,20,384,216"},
                              {"NormPos", "sz:10,20,384,216"},
                              {"Visible", "sz:1"},
                              {"CurrentBand", "sz:5"},
                              {"Added", "sz:text"}}));
}

TEST_F(FormStorage, RestoresThePosition) {
    struct Case {
        const char* What;
        Pairs Stored;
        std::optional<TWindowPlacementData> Placed;
        TFakeScreen Screen = {1024, 768, 96};
        bool Resizable = true;
        bool Visible = false;
    };
    const TWindowPlacementData MinMax{0, 0, -32000, -32000, 7, 0, 100, 50, 500, 350};
    const Case Cases[] = {
        {"suffix first",
         {{"NormPos(1024x768)", "10,20,384,216"}, {"NormPos", "1,2,3,4"}},
         Placement(10, 20, 384, 216)},
        {"plain at another size",
         {{"NormPos(1024x768)", "10,20,384,216"}, {"NormPos", "30,40,330,240"}},
         Placement(30, 40, 330, 240),
         {1280, 1024, 96}},
        {"empty suffixed",
         {{"NormPos(1024x768)", ""}, {"NormPos", "30,40,330,240"}},
         Placement(30, 40, 330, 240)},
        {"min and max, missing words 0", {{"MinMaxPos", "-32000,-32000,7"}}, MinMax},
        {"words not numbers take the current",
         {{"NormPos", "a,b,c,d"}},
         Placement(100, 50, 500, 350)},
        {"two words", {{"NormPos", "10,20"}}, Placement(10, 20, 500, 350)},
        {"commas and blanks", {{"NormPos", " 10  20,,30 ,\t40 "}}, Placement(10, 20, 30, 40)},
        {"too large", {{"NormPos", "10,20,99999999999,40"}}, Placement(10, 20, 500, 40)},
        {"flags", {{"Flags", "2"}, {"NormPos", "10,20,30,40"}}, Placement(10, 20, 30, 40, 0, 2)},
        {"same pixels per inch",
         {{"PixelsPerInch", "96"}, {"NormPos", "10,20,30,40"}},
         Placement(10, 20, 30, 40)},
        {"pixels per inch not a number",
         {{"PixelsPerInch", "x"}, {"NormPos", "10,20,30,40"}},
         Placement(10, 20, 30, 40)},
        {"other pixels per inch", {{"PixelsPerInch", "120"}, {"NormPos", "10,20,30,40"}}, {}},
        {"saved at 96, shown at 120",
         {{"PixelsPerInch", "96"}, {"NormPos", "10,20,30,40"}},
         {},
         {1024, 768, 120}},
        {"left not below right", {{"NormPos", "300,20,100,216"}}, {}},
        // Only left below right is asked; the system enforces a least height.
        {"top not below bottom", {{"NormPos", "10,20,300,20"}}, Placement(10, 20, 300, 20)},
        {"top below bottom", {{"NormPos", "10,300,300,20"}}, Placement(10, 300, 300, 20)},
        {"fixed border keeps its size",
         {{"NormPos", "10,20,30,40"}},
         Placement(10, 20, 410, 320),
         {1024, 768, 96},
         false},
        {"visible window keeps its show command",
         {{"NormPos", "10,20,30,40"}},
         Placement(10, 20, 30, 40, 1),
         {1024, 768, 96},
         true,
         true},
        {"no position text", {{"Flags", "2"}, {"PixelsPerInch", "96"}}, {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        test::TTempDir Fresh;
        File = Fresh.Path + "/store.txt";
        Plant(C.Stored);
        TRun Run(File, true, C.Screen);
        Run.Window.Resizable = C.Resizable;
        Run.Window.Visible = C.Visible;
        Run.Show();
        EXPECT_TRUE(Run.Errors.empty());
        EXPECT_EQ(Run.Window.Placed, C.Placed);
    }
}

TEST_F(FormStorage, RestoresNormalOrMaximised) {
    struct Case {
        const char* ShowCmd;
        bool Maximised;
    };
    const Case Cases[] = {{"1", false}, {"2", false}, {"3", true},  {"5", false}, {"6", false},
                          {"7", false}, {"9", false}, {"0", false}, {"4", false}, {"x", false}};
    for (const Case& C : Cases) {
        // The state comes back even when the position does not.
        Plant({{"ShowCmd", C.ShowCmd}, {"PixelsPerInch", "120"}, {"NormPos", "1,2,3,4"}});
        TRun Run(File);
        Run.Show();
        EXPECT_EQ(Run.Window.Maximised, C.Maximised) << C.ShowCmd;
        EXPECT_FALSE(Run.Window.Placed) << C.ShowCmd;
    }
    // The multipliers window restores its position only.
    Plant({{"ShowCmd", "3"}}, "Software\\Logger\\TfmDomList");
    TRun Run(File, false);
    Run.Show();
    EXPECT_FALSE(Run.Window.Maximised);
}

TEST_F(FormStorage, VersionBelowTheStoragesRestoresNothing) {
    struct Case {
        const char* FormVersion;
        bool Restores;
    };
    const Case Cases[] = {{"-1", false}, {"0", true}, {"1", true}, {"x", true}, {"", true}};
    for (const Case& C : Cases) {
        Plant({{"FormVersion", C.FormVersion},
               {"NormPos", "10,20,30,40"},
               {"ShowCmd", "3"},
               {"CurrentBand", "4"}});
        TRun Run(File);
        Run.Show();
        EXPECT_TRUE(Run.Storage.IsRestored()) << C.FormVersion;
        EXPECT_EQ(Run.Window.Placed.has_value(), C.Restores) << C.FormVersion;
        EXPECT_EQ(Run.Window.Maximised.has_value(), C.Restores) << C.FormVersion;
        EXPECT_EQ(Run.Storage.ReadStoredValue("CurrentBand"),
                  C.Restores ? TVariant("4") : TVariant(0))
            << C.FormVersion;
    }
}

TEST_F(FormStorage, FailuresAreShownAndTheWindowGoesOn) {
    struct Case {
        const char* What;
        TFileValue Planted;
        const char* Error;
        bool Restored; // and so saves at the close
    };
    const Case Cases[] = {
        {"plain position", {"NormPos", "dword", "5"}, "Invalid data type for 'NormPos'", false},
        {"suffixed position",
         {"NormPos(1024x768)", "binary", "00"},
         "Invalid data type for 'NormPos(1024x768)'",
         false},
        {"version", {"FormVersion", "dword", "0"}, "Invalid data type for 'FormVersion'", false},
        {"state", {"ShowCmd", "dword", "3"}, "Invalid data type for 'ShowCmd'", false},
        {"stored value",
         {"CurrentBand", "dword", "4"},
         "Invalid data type for 'CurrentBand'",
         true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        test::TTempDir Fresh;
        File = Fresh.Path + "/store.txt";
        TFileStore(File, Host).PutValue(MainSection, C.Planted);
        TRun Run(File);
        Run.Show();
        EXPECT_EQ(Run.Errors, std::vector<std::string>{C.Error});
        EXPECT_EQ(Run.Storage.IsRestored(), C.Restored);
        Run.Close();
        Run.Destroy();
        EXPECT_EQ(Run.Calls, C.Restored ? "SCD" : "sCD") << "own handlers run in every case";
        EXPECT_EQ(Run.Errors.size(), 1u);
        // A storage that never read the placement back leaves the stored one alone.
        EXPECT_EQ(Saved().size(), C.Restored ? 10u : 1u);
        if (C.Restored) {
            EXPECT_EQ(Saved().front(), Pairs::value_type("CurrentBand", "sz:0"));
        }
    }
}

TEST_F(FormStorage, AFailedRestoreAfterAGoodOneSavesNothing) {
    TRun Run(File);
    Run.Show();
    Run.Close();
    TFileStore(File, Host).PutValue(MainSection, {"NormPos(1024x768)", "dword", "5"});
    const Pairs Before = Saved();
    Run.Show();
    Run.Destroy();
    EXPECT_EQ(Run.Errors, std::vector<std::string>{"Invalid data type for 'NormPos(1024x768)'"});
    EXPECT_EQ(Saved(), Before);
}

TEST_F(FormStorage, RefusedWritesAreShown) {
    {
        TRun First(File);
        First.Store.SetReadOnly(true);
        First.Show();
        EXPECT_EQ(First.Errors,
                  std::vector<std::string>{"Failed to create key 'Software\\Logger'"});
        EXPECT_FALSE(First.Storage.IsRestored());
        EXPECT_EQ(First.Calls, "s");
    }
    TRun Second(File);
    Second.Show();
    Second.Close();
    const Pairs Before = Saved();
    Second.Store.SetReadOnly(true);
    Second.Show();
    Second.Close();
    Second.Destroy();
    EXPECT_EQ(Second.Errors, (std::vector<std::string>{"Failed to set data for 'FormVersion'",
                                                       "Failed to set data for 'FormVersion'"}));
    EXPECT_FALSE(Second.Storage.IsSaved());
    EXPECT_EQ(Second.Calls, "SCSCD");
    EXPECT_EQ(Saved(), Before);
}

TEST_F(FormStorage, SavesAtTheRightMoments) {
    struct Case {
        const char* Events; // s show, c close, r refused close, d destroy, v save directly
        bool Active;
        const char* Visible; // "" when nothing was saved
    };
    const Case Cases[] = {
        {"sd", true, "1"},  {"scd", true, "0"},  {"d", true, ""},      {"c", true, ""},
        {"srd", true, "1"}, {"scsd", true, "1"}, {"scsrd", true, "1"}, {"scd", false, ""},
        {"v", false, "0"},  {"v", true, ""},
    };
    for (const Case& C : Cases) {
        test::TTempDir Fresh;
        File = Fresh.Path + "/store.txt";
        TRun Run(File);
        Run.Storage.Active = C.Active;
        for (const char* E = C.Events; *E; ++E) {
            Run.AllowClose = *E != 'r';
            if (*E == 's') Run.Show();
            if (*E == 'c' || *E == 'r') Run.Close();
            if (*E == 'd') Run.Destroy();
            if (*E == 'v') Run.Storage.Save(false);
        }
        std::string Visible;
        for (const auto& [Name, Text] : Saved())
            if (Name == "Visible") Visible = Text.substr(3);
        EXPECT_EQ(Visible, C.Visible) << C.Events << (C.Active ? "" : " inactive");
    }
}

TEST_F(FormStorage, TheBandAndPlacementSurviveARestart) {
    {
        TRun First(File);
        First.Show();
        First.Window.Placement = {0, 2, -32000, -32000, -1, -1, 10, 20, 384, 216}; // minimised
        First.Storage.WriteStoredValue("CurrentBand", 5);
        First.Destroy();
    }
    TRun Second(File);
    Second.Show();
    EXPECT_EQ(Second.Storage.ReadStoredValue("CurrentBand"), TVariant("5"));
    EXPECT_EQ(Second.Storage.ReadStoredValue("CurrentBand").AsInteger(), 5);
    EXPECT_EQ(Second.Window.Maximised, false) << "a minimised window comes back normal";
    EXPECT_EQ(Second.Window.Placed,
              (TWindowPlacementData{0, 0, -32000, -32000, -1, -1, 10, 20, 384, 216}));

    TRun Renamed(File, true, {1024, 768, 96}, "C:\\Logs\\Logger2.exe");
    Renamed.Show();
    EXPECT_EQ(Renamed.Storage.ReadStoredValue("CurrentBand"), TVariant("0"));
    EXPECT_FALSE(Renamed.Window.Placed);
}

TEST_F(FormStorage, WithoutAnErrorBoxTheFailureLeavesAfterTheOwnHandler) {
    TFileStore(File, Host).PutValue(MainSection, {"NormPos", "dword", "5"});
    TRun Run(File);
    Run.Storage.ShowError = nullptr;
    EXPECT_THROW(Run.Show(), std::runtime_error);
    EXPECT_EQ(Run.Calls, "s");
}

} // namespace
} // namespace brevlund
