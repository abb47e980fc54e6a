// The placement of a real window and the primary screen, for TFormStorage.
#pragma once

#include "storage/WindowPlacement.h"

#include <windows.h>

namespace brevlund {

class TWin32PlacedWindow final : public TPlacedWindow {
public:
    explicit TWin32PlacedWindow(HWND Window = nullptr) : Window(Window) {}
    // The handle is known only once the window has been created.
    void SetHandle(HWND Handle) { Window = Handle; }

    TWindowPlacementData GetPlacement() const override;
    void SetPlacement(const TWindowPlacementData& Placement) override;
    bool IsVisible() const override;
    bool HasResizableBorder() const override;
    int Width() const override;
    int Height() const override;
    // A visible window changes at once. A hidden one must not be shown from
    // here, so the state waits for the window's own show: see ShowCommand.
    void SetMaximised(bool Maximised) override;

    // What the window's show should pass to ShowWindow: SW_SHOWMAXIMIZED when the
    // storage asked for a maximised window while it was hidden, else SW_SHOWNORMAL.
    int ShowCommand() const { return PendingMaximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL; }

private:
    RECT Bounds() const;

    HWND Window; // not owned
    bool PendingMaximised = false;
};

class TWin32Screen final : public TScreen {
public:
    int Width() const override;
    int Height() const override;
    int PixelsPerInch() const override;
};

} // namespace brevlund
