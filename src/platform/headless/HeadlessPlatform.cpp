#include "HeadlessPlatform.h"

#include "SqliteLogQuery.h"

#include <algorithm>

namespace brevlund {

THeadlessMainWindow::THeadlessMainWindow(THeadlessPlatform& APlatform, TfmMainForm& AForm,
                                         std::uint32_t Handle)
    : Platform(APlatform), Owner(AForm), Number(Handle), CaptionText(DesignCaption) {
    Platform.MainWindows.push_back(this);
}

TWindowPlacementData THeadlessMainWindow::GetPlacement() const {
    TWindowPlacementData Now = Placed;
    Now.ShowCmd = IsMinimised ? 2 : Maximised ? 3 : 1;
    return Now;
}

void THeadlessMainWindow::SetPlacement(const TWindowPlacementData& Placement) {
    if (IsVisibleNow) ++PlacementsWhileVisible;
    Placed = Placement;
    IsMinimised = Placement.ShowCmd == 2 || Placement.ShowCmd == 6 || Placement.ShowCmd == 7;
}

void THeadlessMainWindow::ShowAndBringToFront() {
    IsVisibleNow = true;
    IsMinimised = false;
    ++BroughtToFront;
}

void THeadlessMainWindow::ShowMinimised() {
    IsVisibleNow = true;
    IsMinimised = true;
}

THeadlessMainWindow::~THeadlessMainWindow() {
    auto& Windows = Platform.MainWindows;
    Windows.erase(std::remove(Windows.begin(), Windows.end(), this), Windows.end());
}

void THeadlessMainWindow::PostRelease() {
    Platform.PostTo(Number, [](TfmMainForm& F) { TfmMainForm::ReleaseNow(&F); });
}

void THeadlessMainWindow::ClickRecalcStatistic() {
    if (!RecalcButtonEnabled) return; // a greyed button takes no click
    Platform.PostTo(Number, [](TfmMainForm& F) { F.Dispatch([&F] { F.BitBtn1Click(); }); });
}

void THeadlessMainWindow::ClickMultipliers() {
    Platform.PostTo(Number, [](TfmMainForm& F) { F.Dispatch([&F] { F.btnOBL1Click(); }); });
}

void THeadlessMainWindow::SysCommand(unsigned Command) {
    Platform.PostTo(Number, [Command](TfmMainForm& F) {
        F.Dispatch([&F, Command] { F.WMSysCommand(Command); });
    });
}

void THeadlessMainWindow::SendClose() {
    Platform.PostTo(Number, [](TfmMainForm& F) { F.Dispatch([&F] { F.Close(); }); });
}

THeadlessDomListWindow::THeadlessDomListWindow(THeadlessPlatform& APlatform, TfmDomList& AForm,
                                               std::uint32_t Handle)
    : Platform(APlatform), Owner(AForm), Number(Handle) {
    Platform.DomListWindows.push_back(this);
}

THeadlessDomListWindow::~THeadlessDomListWindow() {
    auto& Windows = Platform.DomListWindows;
    Windows.erase(std::remove(Windows.begin(), Windows.end(), this), Windows.end());
}

void THeadlessDomListWindow::PostRelease() {
    IsVisibleNow = false;
    Platform.PostTo(Number, [](TfmDomList& F) { TfmDomList::ReleaseNow(&F); });
}

std::vector<TItemLook> THeadlessDomListWindow::Looks() const {
    std::vector<TItemLook> Result;
    for (const std::string& Item : Items)
        Result.push_back(Owner.LV1CustomDrawItem(Item));
    return Result;
}

void THeadlessDomListWindow::ClickBand(int Band) {
    Platform.PostTo(Number,
                    [Band](TfmDomList& F) { F.Dispatch([&F, Band] { F.RzBitBtn1Click(Band); }); });
}

void THeadlessDomListWindow::SendClose() {
    Platform.PostTo(Number, [](TfmDomList& F) { F.Dispatch([&F] { F.Close(); }); });
}

THeadlessPlatform::THeadlessPlatform(std::string HostExePath)
    : HostExe(std::move(HostExePath)),
      Registry(HostExe.substr(0, HostExe.find_last_of('/') + 1) + "HKCU.store", HostExe) {}

THeadlessPlatform::~THeadlessPlatform() = default;

std::unique_ptr<TMainWindowView> THeadlessPlatform::CreateMainWindow(TfmMainForm& Form) {
    return std::make_unique<THeadlessMainWindow>(*this, Form, NextHandle++);
}

std::unique_ptr<TDomListView> THeadlessPlatform::CreateDomListWindow(TfmDomList& Form,
                                                                     TMainWindowView&) {
    return std::make_unique<THeadlessDomListWindow>(*this, Form, NextHandle++);
}

void THeadlessPlatform::ShowError(const std::string& Text) {
    ErrorBoxes.push_back(Text);
    if (WhileErrorBoxShows) WhileErrorBoxShows();
}

std::unique_ptr<TLogQuery> THeadlessPlatform::CreateLogQuery() {
    if (QueryFactory) return QueryFactory();
    return std::make_unique<TSqliteLogQuery>();
}

void THeadlessPlatform::PostTo(std::uint32_t Handle, std::function<void(TfmMainForm&)> Message) {
    // Messages name their window by handle: one gone meanwhile drops them.
    Post([this, Handle, Message = std::move(Message)] {
        for (THeadlessMainWindow* Window : MainWindows)
            if (Window->Handle() == Handle) return Message(Window->Owner);
    });
}

void THeadlessPlatform::PostTo(std::uint32_t Handle, std::function<void(TfmDomList&)> Message) {
    Post([this, Handle, Message = std::move(Message)] {
        for (THeadlessDomListWindow* Window : DomListWindows)
            if (Window->Handle() == Handle) return Message(Window->Form());
    });
}

void THeadlessPlatform::ProcessMessages() {
    ++Pumps;
    while (!Queue.empty()) {
        std::function<void()> Message = std::move(Queue.front());
        Queue.pop_front();
        Message();
    }
}

} // namespace brevlund
