// TfmDomList, the multipliers window: the contest's areas, with those already
// counted as multipliers on the chosen band marked blue, bold and underlined.
// A bar of nine band buttons chooses the band; the window also follows the band
// of every recorded QSO. It owns no tally data: it reads the statistics
// window's area list once and its multiplier keys at every repaint.
#pragma once

#include "MainForm/FormBase.h"
#include "engine/Scoring.h"
#include "storage/FormStorage.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brevlund {

class TFormPlatform;
class TfmMainForm;
class TfmDomList;

// The multipliers window's native side: the form, the band bar Panel2 with
// RzBitBtn1 to RzBitBtn9, and the list view LV1.
class TDomListView {
public:
    virtual ~TDomListView() = default;

    virtual std::uint32_t Handle() const = 0;
    // Presses RzBitBtn<Number>; the exclusive group releases the one pressed before.
    virtual void PressBandButton(int Number) = 0;
    // The item captions, already in the list's order.
    virtual void SetItems(const std::vector<std::string>& Captions) = 0;
    // Draws every item again; each asks LV1CustomDrawItem for its font.
    virtual void RepaintList() = 0;
    virtual void Show() = 0;
    virtual TPlacedWindow& Placement() = 0;
    // Schedules the destruction after the current message; the platform then
    // deletes the TfmDomList.
    virtual void PostRelease() = 0;
};

// How LV1CustomDrawItem asks an item to be drawn.
enum class TItemLook {
    Plain,  // the list's own font: window-text colour, no style
    Black,  // colour black, no style
    Marked, // blue (0, 0, 255), bold and underlined
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
    TfmDomList(TFormPlatform& Platform, TfmMainForm& Owner);
    ~TfmDomList() override;

    void SelectBand(std::int32_t Number) override;
    void RzBitBtn1Click(int Tag) { SelectBand(Tag); }
    void FormCreate();
    void FormShow();
    void FormClose();
    // The user closes the window: the storage saves, then FormClose.
    void Close();
    // The user logs off or the system shuts down: a close query that may still
    // be cancelled, so the storage saves and nothing closes. True: the window may close.
    bool QueryEndSession();
    // Shows the window; its storage restores the position, then FormShow runs.
    void Show();

    // The font of one item about to be drawn.
    TItemLook LV1CustomDrawItem(const std::string& Caption) const;
    // The band buttons' places on a bar of Width by Height pixels.
    static std::vector<TButtonPlace> Panel2Resize(int Width, int Height, int Buttons = 9);

    const std::string& BandLabel() const { return FBandLabel; }
    TDomListView& Window() { return *View; }
    TFormStorage& Storage() { return *FormStorage1; }

private:
    // Its owner's release may have waited for this window's handler.
    void HandlersDone() override;
    // Clears every reference to this window.
    void Forget();

    TfmMainForm& Owner;
    std::unique_ptr<TDomListView> View;
    std::unique_ptr<TFormStorage> FormStorage1;
    std::string FBandLabel;
};

// The multipliers-window reference: the one open multipliers window, or null.
extern TfmDomList* fmDomList;

} // namespace brevlund
