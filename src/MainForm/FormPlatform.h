// The seams of both windows: what the statistics window and the multipliers
// window need of their native windows, and what both need of the platform (the
// message pump, the error box, the log query, the store and the host's
// executable). One implementation drives real Win32 windows, the other
// (headless) runs the same form logic without a screen for the Linux tests.
#pragma once

#include "engine/LogQuery.h"
#include "engine/Summary.h"
#include "storage/Store.h"
#include "storage/WindowPlacement.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace brevlund {

class TfmMainForm;
class TfmDomList;

// The statistics window's native side: the form, Panel1 with BitBtn1 and
// btnOBL1, and the text box myStatisticM.
class TMainWindowView {
public:
    virtual ~TMainWindowView() = default;

    virtual std::uint32_t Handle() const = 0;
    virtual void SetCaption(const std::string& Caption) = 0;
    virtual std::string Caption() const = 0;
    virtual TTextBox& StatisticBox() = 0;
    // The window as its placement storage sees it.
    virtual TPlacedWindow& Placement() = 0;
    // The action RecalcStatistic, and BitBtn1 greyed with it.
    virtual void SetRecalcEnabled(bool Enabled) = 0;
    virtual void ShowAndBringToFront() = 0;
    virtual void ShowMinimised() = 0;
    // Queues the release request; when the message loop dispatches it, the
    // platform calls TfmMainForm::ReleaseNow.
    virtual void PostRelease() = 0;
};

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

class TFormPlatform {
public:
    virtual ~TFormPlatform() = default;

    virtual std::unique_ptr<TMainWindowView> CreateMainWindow(TfmMainForm& Form) = 0;
    // The multipliers window, owned by the statistics window Owner.
    virtual std::unique_ptr<TDomListView> CreateDomListWindow(TfmDomList& Form,
                                                              TMainWindowView& Owner) = 0;
    virtual std::unique_ptr<TLogQuery> CreateLogQuery() = 0;
    // Full path of the host process's executable.
    virtual std::string HostExePath() const = 0;
    // Lets the user interface process its pending messages once.
    virtual void ProcessMessages() = 0;
    // The error box: the text under the application's title, with an OK button.
    virtual void ShowError(const std::string& Text) = 0;
    // The per-user store of the windows' placement and stored values.
    virtual TStore& Store() = 0;
    virtual const TScreen& Screen() const = 0;
};

// The text of the error box: a full stop is added when the last character
// sorts above ".".
std::string ErrorBoxText(std::string Message);

} // namespace brevlund
