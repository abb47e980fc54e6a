// Restores and saves over a store that fails at each of its operations in
// turn: the failure is shown, the window's own handlers run, a failed restore
// of the placement leaves the storage not restored (and so saving nothing), and
// the next good restore or save gives what one without the fault gives.
#include "storage/FormStorage.h"

#include "StorageFakes.h"
#include "storage/FileStore.h"
#include "support/FaultPlan.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace brevlund {
namespace {

using test::TFaultPlan;

class TFaultyKey final : public TStoreKey {
public:
    TFaultyKey(std::unique_ptr<TStoreKey> Inner, TFaultPlan& Plan)
        : Inner(std::move(Inner)), Plan(Plan) {}

    std::unique_ptr<TStoreKey> OpenSubKey(const std::string& Name, bool Create) override {
        Step((Create ? "create " : "open ") + Name);
        std::unique_ptr<TStoreKey> Sub = Inner->OpenSubKey(Name, Create);
        return Sub ? std::make_unique<TFaultyKey>(std::move(Sub), Plan) : nullptr;
    }
    bool ValueExists(const std::string& Name) override {
        Step("exists " + Name);
        return Inner->ValueExists(Name);
    }
    std::string ReadString(const std::string& Name) override {
        Step("read " + Name);
        return Inner->ReadString(Name);
    }
    void WriteString(const std::string& Name, const std::string& Value) override {
        Step("write " + Name);
        Inner->WriteString(Name, Value);
    }

private:
    void Step(const std::string& What) { Plan.Step<std::runtime_error>(What); }

    std::unique_ptr<TStoreKey> Inner;
    TFaultPlan& Plan; // the test's
};

// The file store with a fault plan in front of every operation.
class TFaultyStore final : public TStore {
public:
    TFaultyStore(const std::string& File, TFaultPlan& Plan)
        : Inner(File, "C:\\Logs\\Logger.exe"), Plan(Plan) {}

    std::unique_ptr<TStoreKey> OpenHostKey() override {
        Plan.Step<std::runtime_error>("open host key");
        return std::make_unique<TFaultyKey>(Inner.OpenHostKey(), Plan);
    }

private:
    TFileStore Inner;
    TFaultPlan& Plan;
};

std::string FileText(const std::string& File) {
    std::ostringstream Text;
    Text << std::ifstream(File, std::ios::binary).rdbuf();
    return Text.str();
}

// The statistics window's storage over a store file that an earlier run left:
// a moved, maximised window and band 5.
class TStorageRun {
public:
    explicit TStorageRun(const std::string& File)
        : Store(File, Plan), Storage("TfmMainForm", Store, Window, Screen) {
        Storage.StoredValues.Add("CurrentBand", 0);
        Storage.ShowError = [this](const std::string& Text) { Errors.push_back(Text); };
        Storage.WindowHandlers.Show = [this] { Calls += Storage.IsRestored() ? "S" : "s"; };
        Storage.WindowHandlers.CloseQuery = [this](bool&) { Calls += "C"; };
        Storage.WindowHandlers.Destroy = [this] { Calls += "D"; };
    }

    // Each show finds the window hidden, as a window opened again does.
    void Show() { Storage.OnShow(); }
    void Close() {
        bool CanClose = true;
        Storage.OnCloseQuery(CanClose);
    }
    // What the user does between showing and closing.
    void MoveAndPickBand() {
        Window.Placement.Left += 30;
        Window.Placement.Right += 30;
        Storage.WriteStoredValue("CurrentBand", 7);
    }
    // What a restore gave.
    std::string Restored() const {
        std::ostringstream Out;
        Out << Window.Placement << " maximised " << Window.Maximised.value_or(false) << " band "
            << Storage.ReadStoredValue("CurrentBand").AsText();
        return Out.str();
    }

    TFaultPlan Plan;
    TFaultyStore Store;
    test::TFakeWindow Window;
    test::TFakeScreen Screen{1024, 768, 96};
    TFormStorage Storage;
    std::vector<std::string> Errors;
    std::string Calls;
};

class StoreFaults : public testing::Test {
protected:
    void SetUp() override {
        TFileStore Earlier(File, "C:\\Logs\\Logger.exe");
        const std::string Section = "Software\\Logger\\TfmMainForm";
        for (const auto& [Name, Text] : {std::pair<std::string, std::string>{"FormVersion", "0"},
                                         {"Flags", "0"},
                                         {"ShowCmd", "3"},
                                         {"PixelsPerInch", "96"},
                                         {"MinMaxPos(1024x768)", "-1,-1,-8,-8"},
                                         {"NormPos(1024x768)", "40,60,500,400"},
                                         {"NormPos", "10,10,300,200"},
                                         {"CurrentBand", "5"}})
            Earlier.PutValue(Section, {Name, "sz", Text});
        Earlier.PutValue("Software\\Logger\\TfmDomList", {"NormPos", "sz", "1,2,3,4"});
        Before = FileText(File);

        // A run without the fault: what every run must come back to.
        TStorageRun Clean(File);
        Clean.Show();
        RestoreOperations = Clean.Plan.Operations();
        CleanRestore = Clean.Restored();
        Clean.MoveAndPickBand();
        Clean.Plan.Arm(0);
        Clean.Close();
        SaveOperations = Clean.Plan.Operations();
        ASSERT_TRUE(Clean.Errors.empty());
        CleanSave = FileText(File);
        ASSERT_NE(CleanSave, Before);
    }
    void StartAgain() { std::ofstream(File, std::ios::binary) << Before; }

    test::TTempDir Dir;
    std::string File = Dir.Path + "/store.txt";
    std::string Before, CleanRestore, CleanSave;
    int RestoreOperations = 0, SaveOperations = 0;
};

TEST_F(StoreFaults, EveryOperationOfARestoreFailsInTurn) {
    // The host key, the section, then an existence test and a read per value.
    ASSERT_GE(RestoreOperations, 2 + 2 * 7);
    for (int N = 1; N <= RestoreOperations; ++N) {
        StartAgain();
        TStorageRun Run(File);
        Run.Plan.Arm(N);
        Run.Show();
        const std::string Failure = Run.Plan.FailureText();
        SCOPED_TRACE(Failure);
        ASSERT_FALSE(Failure.empty());
        EXPECT_EQ(Run.Errors, std::vector<std::string>{Failure});
        // The stored values are read once the placement is back; a failure
        // before that leaves the storage not restored.
        const bool PlacementBack = Failure.find("CurrentBand") != std::string::npos;
        EXPECT_EQ(Run.Storage.IsRestored(), PlacementBack);
        EXPECT_EQ(Run.Calls, PlacementBack ? "S" : "s") << "the window's own show runs";

        Run.Plan.Arm(0);
        if (!PlacementBack) {
            Run.Close();
            EXPECT_EQ(FileText(File), Before) << "not restored: nothing saved";
        }
        Run.Show();
        EXPECT_EQ(Run.Restored(), CleanRestore);
        Run.MoveAndPickBand();
        Run.Close();
        EXPECT_EQ(FileText(File), CleanSave);
        EXPECT_EQ(Run.Errors.size(), 1u);
    }
}

TEST_F(StoreFaults, EveryOperationOfASaveFailsInTurn) {
    // The host key, the section, ten values.
    ASSERT_EQ(SaveOperations, 12);
    for (const bool Destroying : {false, true}) {
        for (int N = 1; N <= SaveOperations; ++N) {
            StartAgain();
            TStorageRun Run(File);
            Run.Show();
            Run.MoveAndPickBand();
            Run.Plan.Arm(N);
            if (Destroying)
                Run.Storage.OnDestroy();
            else
                Run.Close();
            const std::string Failure = Run.Plan.FailureText();
            SCOPED_TRACE((Destroying ? "destroy, " : "close, ") + Failure);
            ASSERT_FALSE(Failure.empty());
            EXPECT_EQ(Run.Errors, std::vector<std::string>{Failure});
            EXPECT_EQ(Run.Calls, Destroying ? "SD" : "SC") << "the window's own handler runs";
            EXPECT_FALSE(Run.Storage.IsSaved());
            // Whatever was written before the failure, the store stays readable.
            EXPECT_NO_THROW(TFileStore(File, "Logger.exe").Values("Software\\Logger\\TfmMainForm"));
            if (Destroying) continue;

            // Not saved, so the next moment saves again, in full.
            Run.Plan.Arm(0);
            Run.Close();
            EXPECT_EQ(FileText(File), CleanSave);
            EXPECT_TRUE(Run.Storage.IsSaved());
            EXPECT_EQ(Run.Errors.size(), 1u);
        }
    }
}

} // namespace
} // namespace brevlund
