#include "MainForm.h"

#include "engine/HostRecords.h"
#include "engine/Rescan.h"

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
    // The storage restores the placement while the window is still hidden; the
    // window then appears where it was left, and FormShow runs.
    CreateStorage("TfmMainForm", View->Placement(), [this] {
        View->ShowAndBringToFront();
        FormShow();
    });
    FormStorage1->StoredValues.Add("CurrentBand", 0);
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
    SaveAtDestruction();
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
    LogQuery->SetStatement(RescanStatement(Context.LogTable.Text()));
    LogQuery->Open();
    Platform.ProcessMessages();
    while (!LogQuery->AtEnd()) {
        ReadRescanRow(*LogQuery, Context);
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

const TMultiplierKeys* TfmMainForm::ReferencedKeys() const {
    return fmMainForm ? &fmMainForm->Tally.MultiplierKeys : nullptr;
}

TFormStorage* TfmMainForm::ReferencedStorage() {
    return fmMainForm ? fmMainForm->FormStorage1.get() : nullptr;
}

void TfmMainForm::DomListClosed(TfmDomList& DomList) {
    Tally.ForgetMultipliersView(&DomList);
}

void TfmMainForm::DomListDestroyed(TfmDomList& DomList) {
    Tally.ForgetMultipliersView(&DomList);
    DomLists.erase(std::remove(DomLists.begin(), DomLists.end(), &DomList), DomLists.end());
}

} // namespace brevlund
