#include "DomList.h"

namespace brevlund {

TfmDomList* fmDomList = nullptr;

TfmDomList::TfmDomList(TFormPlatform& APlatform, TDomListOwner& AOwner)
    : TFormBase(APlatform), Owner(AOwner),
      View(APlatform.CreateDomListWindow(*this, AOwner.Window())) {
    CreateStorage("TfmDomList", View->Placement(), [this] {
        View->Show();
        FormShow();
    });
    FormStorage1->Options = fpPosition;
    FormCreate();
}

TfmDomList::~TfmDomList() {
    BeginDestruction();
    SaveAtDestruction();
    // Whichever way the window goes, nothing may reach it afterwards.
    if (fmDomList == this) fmDomList = nullptr;
    Owner.DomListDestroyed(*this);
}

void TfmDomList::FormCreate() {
    View->SetItems(MultiplierCaptions(Owner.Areas()));
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
    TDomListOwner& TheOwner = Owner;
    FinishPendingRelease();
    TheOwner.DomListHandlersDone();
}

void TfmDomList::FormShow() {
    if (TFormStorage* Stored = Owner.ReferencedStorage())
        SelectBand(Stored->ReadStoredValue("CurrentBand").AsInteger());
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
    if (TFormStorage* Stored = Owner.ReferencedStorage())
        Stored->WriteStoredValue("CurrentBand", Number);
}

void TfmDomList::FormClose() {
    View->PostRelease();
    if (fmDomList == this) fmDomList = nullptr;
    Owner.DomListClosed(*this);
}

TItemLook TfmDomList::LV1CustomDrawItem(const std::string& Caption) const {
    const TMultiplierKeys* Keys = Owner.ReferencedKeys();
    if (!Keys || Keys->Count() == 0) return TItemLook::Plain;
    return Keys->Marks(FBandLabel, Caption) ? TItemLook::Marked : TItemLook::Black;
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
