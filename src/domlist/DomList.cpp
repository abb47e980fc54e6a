#include "DomList.h"

#include "MainForm/MainForm.h"
#include "engine/LocaleText.h"

#include <algorithm>

namespace brevlund {

TfmDomList* fmDomList = nullptr;

TfmDomList::TfmDomList(TFormPlatform& APlatform, TfmMainForm& AOwner)
    : TFormBase(APlatform), Owner(AOwner),
      View(APlatform.CreateDomListWindow(*this, AOwner.Window())) {
    FormStorage1 = std::make_unique<TFormStorage>("TfmDomList", Platform.Store(), View->Placement(),
                                                  Platform.Screen());
    FormStorage1->Options = fpPosition;
    FormStorage1->ShowError = [this](const std::string& Message) { ShowError(Message); };
    // Restored while hidden, the window appears where it was left; then FormShow.
    FormStorage1->WindowHandlers.Show = [this] {
        View->Show();
        FormShow();
    };
    FormCreate();
}

TfmDomList::~TfmDomList() {
    BeginDestruction();
    try {
        FormStorage1->OnDestroy();
    } catch (...) {
        // A destructor cannot report; the storage has shown its own failures.
    }
    Forget();
}

void TfmDomList::Forget() {
    // Whichever way the window goes, nothing may reach it afterwards.
    if (fmDomList == this) fmDomList = nullptr;
    Owner.Scores().ForgetMultipliersView(this);
    auto& Owned = Owner.DomLists;
    Owned.erase(std::remove(Owned.begin(), Owned.end(), this), Owned.end());
}

void TfmDomList::FormCreate() {
    std::vector<std::string> Captions = Owner.Scores().AreaList.ItemCaptions();
    std::stable_sort(
        Captions.begin(), Captions.end(),
        [](const std::string& A, const std::string& B) { return locale::Compare(A, B) < 0; });
    View->SetItems(Captions);
}

void TfmDomList::Show() {
    // The storage restores the position, shows the window, then FormShow
    // selects the stored band.
    Dispatch([this] { FormStorage1->OnShow(); });
}

void TfmDomList::HandlersDone() {
    // A release of the owner dispatched meanwhile (an error box's own message
    // loop runs the host's messages) waited for this handler: the owner goes
    // now, and takes this window with it.
    TfmMainForm& TheOwner = Owner;
    FinishPendingRelease();
    TheOwner.FinishPendingRelease();
}

void TfmDomList::FormShow() {
    if (!fmMainForm) return;
    SelectBand(fmMainForm->Storage().ReadStoredValue("CurrentBand").AsInteger());
}

void TfmDomList::SelectBand(std::int32_t Number) {
    // Only the nine buttons are bands; any other number changes nothing and is
    // not stored, so a stray number never replaces the band last chosen.
    if (Number < 1 || Number > static_cast<std::int32_t>(BandLabels.size())) {
        View->RepaintList();
        return;
    }
    View->PressBandButton(Number);
    FBandLabel = std::string(BandLabels[Number - 1]);
    View->RepaintList();
    if (fmMainForm) fmMainForm->Storage().WriteStoredValue("CurrentBand", Number);
}

void TfmDomList::Close() {
    bool CanClose = true;
    FormStorage1->OnCloseQuery(CanClose);
    if (CanClose) FormClose();
}

bool TfmDomList::QueryEndSession() {
    bool CanClose = true;
    FormStorage1->OnCloseQuery(CanClose);
    return CanClose;
}

void TfmDomList::FormClose() {
    View->PostRelease();
    // Until the release is dispatched the window stays its owner's, so that it
    // goes with the owner if that goes first; nothing else reaches it any more.
    if (fmDomList == this) fmDomList = nullptr;
    Owner.Scores().ForgetMultipliersView(this);
}

TItemLook TfmDomList::LV1CustomDrawItem(const std::string& Caption) const {
    if (!fmMainForm) return TItemLook::Plain;
    const TMultiplierKeys& Keys = fmMainForm->Scores().MultiplierKeys;
    if (Keys.Count() == 0) return TItemLook::Plain;
    const std::string Probe = FBandLabel + "|" + Caption + "|";
    for (const std::string& Key : Keys.Items())
        if (Key.find(Probe) != std::string::npos) return TItemLook::Marked;
    return TItemLook::Black;
}

std::vector<TButtonPlace> TfmDomList::Panel2Resize(int Width, int Height, int Buttons) {
    std::vector<TButtonPlace> Places;
    if (Width <= 0 || Buttons <= 0) return Places;
    const int Share = Width / Buttons;
    for (int K = 0; K < Buttons; ++K)
        Places.push_back({K * Share, 0, Share, Height - 1});
    Places.back().Width = Width - (Buttons - 1) * Share - 4;
    return Places;
}

} // namespace brevlund
