// TfmDomList, the multipliers window: the contest's areas, with those already
// counted as multipliers on the chosen band marked blue, bold and underlined.
// A bar of nine band buttons chooses the band; the window also follows the band
// of every recorded QSO. It owns no tally data: it reads the statistics
// window's area list once and its multiplier keys at every repaint.
#pragma once

#include "MainForm/FormBase.h"
#include "engine/Multipliers.h"
#include "engine/Scoring.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brevlund {

class TfmDomList;

// What the multipliers window needs of the statistics window that owns it.
class TDomListOwner {
public:
    // The owner's native window, which the multipliers window stays above.
    virtual TMainWindowView& Window() = 0;
    // The area list, read when the window is created.
    virtual const TAreaList& Areas() const = 0;
    // The multiplier keys and the storage of CurrentBand, reached through the
    // window reference: null while it is empty (the statistics window has been
    // released or closed and waits for its destruction).
    virtual const TMultiplierKeys* ReferencedKeys() const = 0;
    virtual TFormStorage* ReferencedStorage() = 0;
    // The window closed: the band follow-up no longer reaches it. It stays the
    // owner's until its release, so that it goes with the owner if that goes first.
    virtual void DomListClosed(TfmDomList& DomList) = 0;
    // The window is being destroyed: nothing may reach it any more.
    virtual void DomListDestroyed(TfmDomList& DomList) = 0;
    // A handler of the window returned: a release of the owner that waited for
    // it goes ahead now.
    virtual void DomListHandlersDone() = 0;

protected:
    ~TDomListOwner() = default;
};

// One band button's place on the bar.
struct TButtonPlace {
    int Left, Top, Width, Height;
    bool operator==(const TButtonPlace& O) const {
        return Left == O.Left && Top == O.Top && Width == O.Width && Height == O.Height;
    }
};

class TfmDomList final : public TFormBase, public TMultipliersView {
public:
    // Created by the statistics window's "Multipliers" button, owned by it.
    TfmDomList(TFormPlatform& Platform, TDomListOwner& Owner);
    ~TfmDomList() override;

    void SelectBand(std::int32_t Number) override;
    void RzBitBtn1Click(int Tag) { SelectBand(Tag); }
    void FormCreate();
    void FormShow();
    void FormClose() override;
    // Shows the window; its storage restores the position, then FormShow runs.
    void Show();

    // The font of one item about to be drawn.
    TItemLook LV1CustomDrawItem(const std::string& Caption) const;
    // The band buttons' places on a bar of Width by Height pixels.
    static std::vector<TButtonPlace> Panel2Resize(int Width, int Height, int Buttons = 9);

    const std::string& BandLabel() const { return FBandLabel; }
    TDomListView& Window() { return *View; }

private:
    // Its owner's release may have waited for this window's handler.
    void HandlersDone() override;

    TDomListOwner& Owner;
    std::unique_ptr<TDomListView> View;
    std::string FBandLabel;
};

// The multipliers-window reference: the one open multipliers window, or null.
extern TfmDomList* fmDomList;

} // namespace brevlund
