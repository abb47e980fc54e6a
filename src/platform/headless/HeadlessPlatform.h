// The windows without a screen: every native window is a record of what it
// would show, the message loop is a queue, and the error box remembers its texts.
// The Linux tests and tools run the plug-in's window logic on it.
#pragma once

#include "MainForm/FormPlatform.h"
#include "MainForm/MainForm.h"
#include "domlist/DomList.h"
#include "storage/FileStore.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace brevlund {

class THeadlessPlatform;

class THeadlessMainWindow final : public TMainWindowView, private TTextBox, public TPlacedWindow {
public:
    THeadlessMainWindow(THeadlessPlatform& Platform, TfmMainForm& Form, std::uint32_t Handle);
    ~THeadlessMainWindow() override;

    std::uint32_t Handle() const override { return Number; }
    void SetCaption(const std::string& Caption) override { CaptionText = Caption; }
    std::string Caption() const override { return CaptionText; }
    TTextBox& StatisticBox() override { return *this; }
    TPlacedWindow& Placement() override { return *this; }
    void SetRecalcEnabled(bool Enabled) override { RecalcButtonEnabled = Enabled; }
    void ShowAndBringToFront() override;
    void ShowMinimised() override;
    void PostRelease() override;

    TfmMainForm& Form() const { return Owner; }

    // What the user sees.
    std::string Text() const { return BoxText; }
    bool Visible() const { return IsVisibleNow; }
    bool Minimised() const { return IsMinimised; }
    bool RecalcButtonEnabled = true;
    int BroughtToFront = 0;
    // The designed place: 374 by 196 at 967, 202.
    TWindowPlacementData Placed{0, 1, -1, -1, -1, -1, 967, 202, 967 + 374, 202 + 196};
    bool Maximised = false;
    // Placements set while the window was on screen: each one a visible jump.
    int PlacementsWhileVisible = 0;

    TWindowPlacementData GetPlacement() const override;
    void SetPlacement(const TWindowPlacementData& Placement) override;
    bool IsVisible() const override { return IsVisibleNow; }
    bool HasResizableBorder() const override { return true; }
    int Width() const override { return Placed.Right - Placed.Left; }
    int Height() const override { return Placed.Bottom - Placed.Top; }
    void SetMaximised(bool Value) override { Maximised = Value; }

    // What the user does; each is queued as a message and runs at the next pump.
    void ClickRecalcStatistic();
    void ClickMultipliers();
    void SysCommand(unsigned Command);
    void SendClose();
    void TypeText(const std::string& Text) { BoxText = Text; }

private:
    friend class THeadlessPlatform;
    void SetText(const std::string& Text) override { BoxText = Text; }
    std::string GetText() const override { return BoxText; }

    THeadlessPlatform& Platform;
    TfmMainForm& Owner;
    std::uint32_t Number;
    std::string CaptionText;
    std::string BoxText;
    bool IsVisibleNow = false;
    bool IsMinimised = false;
};

class THeadlessDomListWindow final : public TDomListView, public TPlacedWindow {
public:
    THeadlessDomListWindow(THeadlessPlatform& Platform, TfmDomList& Form, std::uint32_t Handle);
    ~THeadlessDomListWindow() override;

    std::uint32_t Handle() const override { return Number; }
    void PressBandButton(int Number) override { Pressed = Number; }
    void SetItems(const std::vector<std::string>& Captions) override { Items = Captions; }
    void RepaintList() override { ++Repaints; }
    void Show() override { IsVisibleNow = true; }
    TPlacedWindow& Placement() override { return *this; }
    void PostRelease() override;

    TWindowPlacementData GetPlacement() const override { return Placed; }
    void SetPlacement(const TWindowPlacementData& Placement) override {
        Placed = Placement;
        if (IsVisibleNow) ++PlacementsWhileVisible;
    }
    bool IsVisible() const override { return IsVisibleNow; }
    bool HasResizableBorder() const override { return true; }
    int Width() const override { return Placed.Right - Placed.Left; }
    int Height() const override { return Placed.Bottom - Placed.Top; }
    void SetMaximised(bool) override {}

    TfmDomList& Form() const { return Owner; }
    // What the user sees: the pressed band button (RzBitBtn4, "10", as designed),
    // the items in their order, and how each would be drawn now.
    int Pressed = 4;
    std::vector<std::string> Items;
    int Repaints = 0;
    std::vector<TItemLook> Looks() const;
    TWindowPlacementData Placed{0, 1, -1, -1, -1, -1, 1020, 164, 1020 + 339, 164 + 182};
    int PlacementsWhileVisible = 0;

    // What the user does, queued as messages.
    void ClickBand(int Number);
    void SendClose();

private:
    THeadlessPlatform& Platform;
    TfmDomList& Owner;
    std::uint32_t Number;
    bool IsVisibleNow = false;
};

class THeadlessPlatform final : public TFormPlatform {
public:
    explicit THeadlessPlatform(std::string HostExe = "/opt/host/Logger.exe");
    ~THeadlessPlatform() override;

    std::unique_ptr<TMainWindowView> CreateMainWindow(TfmMainForm& Form) override;
    std::unique_ptr<TDomListView> CreateDomListWindow(TfmDomList& Form,
                                                      TMainWindowView& Owner) override;
    std::unique_ptr<TLogQuery> CreateLogQuery() override;
    std::string HostExePath() const override { return HostExe; }
    void ProcessMessages() override;
    void ShowError(const std::string& Text) override;
    TStore& Store() override { return Registry; }
    const TScreen& Screen() const override { return Display; }

    // The message queue: Post adds a message, ProcessMessages dispatches them
    // all, those posted meanwhile included.
    void Post(std::function<void()> Message) { Queue.push_back(std::move(Message)); }
    void PostTo(std::uint32_t Handle, std::function<void(TfmMainForm&)> Message);
    void PostTo(std::uint32_t Handle, std::function<void(TfmDomList&)> Message);
    std::size_t Pending() const { return Queue.size(); }

    // The windows alive now, the newest last.
    std::vector<THeadlessMainWindow*> MainWindows;
    std::vector<THeadlessDomListWindow*> DomListWindows;
    std::vector<std::string> ErrorBoxes;
    // Runs while an error box is up, as the box's own message loop runs the
    // host's messages on Windows.
    std::function<void()> WhileErrorBoxShows;
    std::string HostExe;
    // Replaces the SQLite query, for tests that need a query to misbehave.
    std::function<std::unique_ptr<TLogQuery>()> QueryFactory;
    int Pumps = 0;

    // The screen the windows are placed on.
    struct TDisplay final : TScreen {
        int Width() const override { return W; }
        int Height() const override { return H; }
        int PixelsPerInch() const override { return Ppi; }
        int W = 1280, H = 1024, Ppi = 96;
    } Display;
    // The registry, kept in a file beside the host executable.
    TFileStore Registry;

private:
    friend class THeadlessMainWindow;
    friend class THeadlessDomListWindow;
    std::deque<std::function<void()>> Queue;
    std::uint32_t NextHandle = 0x10000;
};

} // namespace brevlund
