// TfmMainForm, the statistics window: owns the tally, shows the score summary,
// rebuilds the tally from the host's log, and turns its close command into
// minimising. The window behaviour lives here; the native window behind it
// comes from the platform.
#pragma once

#include "FormBase.h"
#include "FormPlatform.h"

#include "domlist/DomList.h"
#include "engine/Scoring.h"
#include "storage/FormStorage.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brevlund {

constexpr const char* DesignCaption = "Brevlund DX Contest";

class TfmMainForm final : public TFormBase, private TDomListOwner {
public:
    // Builds the window for the host's QsoContext (5916 bytes at HostContext).
    // A failure destroys what was built and leaves towards the caller.
    TfmMainForm(TFormPlatform& Platform, const void* HostContext);
    ~TfmMainForm() override;

    // Shows the window and brings it to the front; the first showing runs FormShow.
    void Show();
    std::uint32_t Handle() const { return View->Handle(); }
    TMainWindowView& Window() override { return *View; }

    // The tally and its operations.
    std::int32_t ScoreQSO(bool Commit) { return Tally.ScoreQSO(Commit); }
    void SortWorkedQSOs() { Tally.SortWorkedQSOs(); }
    void PrintSummary();
    void RescanLog();
    const TTally& Scores() const { return Tally; }
    TTally& Scores() { return Tally; }

    // Event handlers, called by the platform through Dispatch.
    void FormShow();
    void RecalcStatisticExecute();
    void ExecuteRecalcStatistic(); // the action: runs the handler only while enabled
    void BitBtn1Click() { ExecuteRecalcStatistic(); }
    void btnOBL1Click();
    // True when the command was the close command and has been turned into minimising.
    bool WMSysCommand(unsigned Command);
    void FormCloseQuery(bool& CanClose);
    void FormClose() override;
    // The number hook of _GrabNumber: there is no number to give.
    std::string GrabNumber() const { return {}; }

    bool RecalcEnabled() const { return RecalcStatisticEnabled; }

    // Asks for the release: the window destroys itself when the message loop
    // dispatches the request.
    void Release() { View->PostRelease(); }
    // Destroys every statistics window still alive, those waiting for their
    // release included: the library is being unloaded.
    static void DestroyAll();
    // The process ends without a release: every live window's storage saves
    // what its destruction would have saved, and nothing is destroyed.
    static void SaveAllAtProcessEnd() noexcept;

    // A multipliers window it owns is busy too: the owner's destruction, which
    // takes it along, waits for it.
    bool Busy() const override;

private:
    void SetRecalcEnabled(bool Enabled);

    // What the multipliers windows it owns reach it through.
    const TAreaList& Areas() const override { return Tally.AreaList; }
    const TMultiplierKeys* ReferencedKeys() const override;
    TFormStorage* ReferencedStorage() override;
    void DomListClosed(TfmDomList& DomList) override;
    void DomListDestroyed(TfmDomList& DomList) override;
    void DomListHandlersDone() override { FinishPendingRelease(); }

    std::unique_ptr<TMainWindowView> View;
    TTally Tally;
    std::unique_ptr<TLogQuery> LogQuery;
    bool RecalcStatisticEnabled = true;
    bool Shown = false;
    // The multipliers windows this window opened (one open, others perhaps
    // waiting for their release); they go with this window.
    std::vector<TfmDomList*> DomLists;
};

// The window reference: the one statistics window, or null. Set by _Run,
// cleared by _Release and by the window's FormClose.
extern TfmMainForm* fmMainForm;

} // namespace brevlund
