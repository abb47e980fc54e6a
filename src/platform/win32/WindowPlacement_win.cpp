#include "WindowPlacement_win.h"

namespace brevlund {

TWindowPlacementData TWin32PlacedWindow::GetPlacement() const {
    WINDOWPLACEMENT P{};
    P.length = sizeof P;
    TWindowPlacementData Data;
    if (!GetWindowPlacement(Window, &P)) return Data;
    Data.Flags = P.flags;
    Data.ShowCmd = P.showCmd;
    Data.MinX = P.ptMinPosition.x;
    Data.MinY = P.ptMinPosition.y;
    Data.MaxX = P.ptMaxPosition.x;
    Data.MaxY = P.ptMaxPosition.y;
    Data.Left = P.rcNormalPosition.left;
    Data.Top = P.rcNormalPosition.top;
    Data.Right = P.rcNormalPosition.right;
    Data.Bottom = P.rcNormalPosition.bottom;
    return Data;
}

void TWin32PlacedWindow::SetPlacement(const TWindowPlacementData& Data) {
    WINDOWPLACEMENT P{};
    P.length = sizeof P;
    P.flags = Data.Flags;
    P.showCmd = Data.ShowCmd;
    P.ptMinPosition = {Data.MinX, Data.MinY};
    P.ptMaxPosition = {Data.MaxX, Data.MaxY};
    P.rcNormalPosition = {Data.Left, Data.Top, Data.Right, Data.Bottom};
    // The system itself moves a rectangle that would lie off every screen.
    SetWindowPlacement(Window, &P);
}

bool TWin32PlacedWindow::IsVisible() const {
    return IsWindowVisible(Window) != FALSE;
}

bool TWin32PlacedWindow::HasResizableBorder() const {
    return (GetWindowLongA(Window, GWL_STYLE) & WS_THICKFRAME) != 0;
}

RECT TWin32PlacedWindow::Bounds() const {
    RECT R{};
    GetWindowRect(Window, &R);
    return R;
}

int TWin32PlacedWindow::Width() const {
    const RECT R = Bounds();
    return R.right - R.left;
}

int TWin32PlacedWindow::Height() const {
    const RECT R = Bounds();
    return R.bottom - R.top;
}

void TWin32PlacedWindow::SetMaximised(bool Maximised) {
    PendingMaximised = Maximised;
    if (!IsWindowVisible(Window)) return;
    if (Maximised && !IsZoomed(Window))
        ShowWindow(Window, SW_MAXIMIZE);
    else if (!Maximised && (IsZoomed(Window) || IsIconic(Window)))
        ShowWindow(Window, SW_RESTORE);
}

int TWin32Screen::Width() const {
    return GetSystemMetrics(SM_CXSCREEN);
}

int TWin32Screen::Height() const {
    return GetSystemMetrics(SM_CYSCREEN);
}

int TWin32Screen::PixelsPerInch() const {
    HDC Screen = GetDC(nullptr);
    if (!Screen) return 96; // the standard screen
    const int Result = GetDeviceCaps(Screen, LOGPIXELSY);
    ReleaseDC(nullptr, Screen);
    return Result;
}

} // namespace brevlund
