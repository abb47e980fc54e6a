// A host as the window tests need it: a folder with the host executable's
// name and an area list, a SQLite log database, and a QsoContext that names both.
#pragma once

#include "TestSupport.h"

#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/SqliteLogQuery.h"

#include <sys/stat.h>

#include <memory>
#include <vector>

namespace brevlund::test {

struct LogRow {
    std::string Call, Band, Mode, Exchange = {}, Continent = "EU";
};

class TLogFixture {
public:
    explicit TLogFixture(std::string_view AreaList = "AB=AB\nCD=CD\nEF=EF\n")
        : Platform(Dir.Path + "/Logger.exe"), Log(Dir.Path + "/log.db") {
        mkdir((Dir.Path + "/Plugins").c_str(), 0755);
        Dir.Write("Plugins/brevlund.dom", AreaList);
        ContextCopy() = QsoContext{};
        Host = QsoContext{};
        Host.LogConnection = Log.Number();
        Host.LogTable.Store("Log");
        Host.CaptionTitle.Store("SM5X");
    }
    ~TLogFixture() {
        // Windows whose release is still queued go too.
        while (!Platform.MainWindows.empty())
            delete &Platform.MainWindows.back()->Form();
        fmMainForm = nullptr;
    }

    void CreateTable(const std::string& Columns = "QSOReportRecived, DXCCPrefix, MainPrefix, "
                                                  "CallSign, DigiBand, QSOMode, Continent") {
        Log.Execute("create table Log (" + Columns + ")");
    }
    void Insert(const std::vector<LogRow>& Rows) {
        for (const LogRow& R : Rows)
            Log.Execute("insert into Log (QSOReportRecived, DXCCPrefix, MainPrefix, CallSign, "
                        "DigiBand, QSOMode, Continent) values ('" +
                        R.Exchange + "', 'SM', 'SM', '" + R.Call + "', '" + R.Band + "', '" +
                        R.Mode + "', '" + R.Continent + "')");
    }

    // Constructs the window as _Run does and shows it for the first time.
    TfmMainForm& Run() {
        fmMainForm = new TfmMainForm(Platform, &Host);
        fmMainForm->Show();
        return *fmMainForm;
    }
    THeadlessMainWindow& Window() { return *Platform.MainWindows.back(); }

    // As _AddQSO records a QSO.
    std::int32_t AddQSO(std::string_view Call, std::string_view Band, std::string_view Mode,
                        std::string_view Exchange = {}) {
        QsoContext Record = Host;
        SetQso(Record, Call, Band, Mode, Exchange);
        CopyInContext(&Record);
        const std::int32_t Result = fmMainForm->ScoreQSO(true);
        if (Result >= 0) fmMainForm->SortWorkedQSOs();
        fmMainForm->PrintSummary();
        return Result;
    }

    TTempDir Dir;
    THeadlessPlatform Platform;
    TSqliteConnection Log;
    QsoContext Host{};
};

} // namespace brevlund::test
