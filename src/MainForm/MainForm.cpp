#include "MainForm.h"

#include "domlist/DomList.h"
#include "engine/HostRecords.h"
#include "engine/Text.h"

#include <algorithm>
#include <vector>

namespace brevlund {

TfmMainForm* fmMainForm = nullptr;

namespace {
// Every window built and not yet destroyed; at most one of them is referenced.
std::vector<TfmMainForm*>& LiveForms() {
    static std::vector<TfmMainForm*> Forms;
    return Forms;
}
} // namespace

TfmMainForm::TfmMainForm(TFormPlatform& APlatform, const void* HostContext)
    : TFormBase(APlatform), View(APlatform.CreateMainWindow(*this)), Tally(ContextCopy()) {
    FormStorage1 = std::make_unique<TFormStorage>("TfmMainForm", Platform.Store(),
                                                  View->Placement(), Platform.Screen());
    FormStorage1->StoredValues.Add("CurrentBand", 0);
    FormStorage1->ShowError = [this](const std::string& Message) { ShowError(Message); };
    // The storage restores the placement while the window is still hidden; the
    // window then appears where it was left, and FormShow runs.
    FormStorage1->WindowHandlers.Show = [this] {
        View->ShowAndBringToFront();
        FormShow();
    };
    FormStorage1->WindowHandlers.CloseQuery = [this](bool& CanClose) { FormCloseQuery(CanClose); };
    CopyInContext(HostContext);
    QsoContext& Context = ContextCopy();
    View->SetCaption(std::string(Context.CaptionTitle.Text()) + " in " + DesignCaption);
    LogQuery = Platform.CreateLogQuery();
    LogQuery->Attach(Context.LogConnection);
    Tally.AreaList.LoadFromFile(AreaListPath(Platform.HostExePath()));
    LiveForms().push_back(this);
}

TfmMainForm::~TfmMainForm() {
    BeginDestruction();
    // Owned: they go first, with this window still whole.
    while (!DomLists.empty())
        delete DomLists.back();
    // The storage saves while the native window still has its placement.
    try {
        if (FormStorage1) FormStorage1->OnDestroy();
    } catch (...) {
        // A destructor cannot report; the storage has shown its own failures.
    }
    auto& Forms = LiveForms();
    Forms.erase(std::remove(Forms.begin(), Forms.end(), this), Forms.end());
    if (fmMainForm == this) fmMainForm = nullptr;
}

void TfmMainForm::DestroyAll() {
    while (!LiveForms().empty())
        delete LiveForms().back();
}

void TfmMainForm::SaveAllAtProcessEnd() noexcept {
    for (TfmMainForm* Form : LiveForms()) {
        // In the order the destructor saves: the owned windows first.
        for (TfmDomList* DomList : Form->DomLists)
            DomList->Storage().SaveAtProcessEnd();
        Form->FormStorage1->SaveAtProcessEnd();
    }
}

bool TfmMainForm::Busy() const {
    if (TFormBase::Busy()) return true;
    for (const TfmDomList* DomList : DomLists)
        if (DomList->Busy()) return true;
    return false;
}

void TfmMainForm::Show() {
    if (Shown) {
        View->ShowAndBringToFront();
        return;
    }
    Shown = true;
    // Restore, show, then FormShow: see the storage's show handler above.
    Dispatch([this] { FormStorage1->OnShow(); });
}

void TfmMainForm::PrintSummary() {
    brevlund::PrintSummary(Tally.BandStats, View->StatisticBox());
}

void TfmMainForm::RescanLog() {
    QsoContext& Context = ContextCopy();
    const std::string SavedBand(Context.DigiBand.Text());
    Tally.EmptyWorkedQSOs();
    Tally.EmptyBandStats();
    View->StatisticBox().SetText("");
    Tally.EmptyMultiplierKeys();
    LogQuery->Close();
    LogQuery->SetStatement("Select * from " + std::string(Context.LogTable.Text()) +
                           " order by CallSign");
    LogQuery->Open();
    Platform.ProcessMessages();
    while (!LogQuery->AtEnd()) {
        Context.QSOReportRecived.Store(LogQuery->ColumnText("QSOReportRecived"));
        Context.DXCCPrefix.Store(LogQuery->ColumnText("DXCCPrefix"));
        Context.MainPrefix.Store(LogQuery->ColumnText("MainPrefix"));
        Context.CallSign.Store(LogQuery->ColumnText("CallSign"));
        Context.DigiBand.Store(LogQuery->ColumnText("DigiBand"));
        Context.QSOMode.Store(LogQuery->ColumnText("QSOMode"));
        Context.Continent.Store(UpperAscii(LogQuery->ColumnText("Continent")));
        Tally.ScoreQSO(true);
        LogQuery->Next();
    }
    LogQuery->Close();
    Context.DigiBand.Store(SavedBand);
}

void TfmMainForm::SetRecalcEnabled(bool Enabled) {
    RecalcStatisticEnabled = Enabled;
    View->SetRecalcEnabled(Enabled);
}

void TfmMainForm::RecalcStatisticExecute() {
    Platform.ProcessMessages();
    try {
        SetRecalcEnabled(false);
        RescanLog();
        PrintSummary();
    } catch (...) {
        SetRecalcEnabled(true);
        throw;
    }
    SetRecalcEnabled(true);
}

void TfmMainForm::ExecuteRecalcStatistic() {
    if (RecalcStatisticEnabled) RecalcStatisticExecute();
}

void TfmMainForm::FormShow() {
    ExecuteRecalcStatistic();
}

void TfmMainForm::btnOBL1Click() {
    // One multipliers window at a time; an open one is not brought forward.
    if (fmDomList) return;
    auto* DomList = new TfmDomList(Platform, *this);
    DomLists.push_back(DomList);
    fmDomList = DomList;
    Tally.SetMultipliersView(DomList);
    DomList->Show();
}

bool TfmMainForm::WMSysCommand(unsigned Command) {
    // The low four bits of a system command are the system's own.
    if ((Command & 0xFFF0) != 0xF060) return false;
    View->ShowMinimised();
    return true;
}

void TfmMainForm::FormCloseQuery(bool& CanClose) {
    LogQuery->Close();
    CanClose = true;
}

void TfmMainForm::FormClose() {
    Release();
    if (fmMainForm == this) fmMainForm = nullptr;
}

void TfmMainForm::Close() {
    bool CanClose = true;
    FormStorage1->OnCloseQuery(CanClose);
    if (CanClose) FormClose();
}

bool TfmMainForm::QueryEndSession() {
    bool CanClose = true;
    FormStorage1->OnCloseQuery(CanClose);
    return CanClose;
}

} // namespace brevlund
