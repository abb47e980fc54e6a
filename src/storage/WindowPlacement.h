// What the storage needs of a window and of the screen, kept apart from the
// platform so that the storage runs in tests without one.
#pragma once

namespace brevlund {

// A window's placement as the platform reports it: flags, show command (1 normal,
// 2 minimised, 3 maximised, 0 hidden), minimised and maximised positions, and the
// normal (not minimised, not maximised) rectangle.
struct TWindowPlacementData {
    unsigned Flags = 0;
    unsigned ShowCmd = 0;
    int MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TPlacedWindow {
public:
    virtual TWindowPlacementData GetPlacement() const = 0;
    virtual void SetPlacement(const TWindowPlacementData& Placement) = 0;
    virtual bool IsVisible() const = 0;
    virtual bool HasResizableBorder() const = 0;
    // The current outer size in pixels.
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Normal or maximised; a minimised state is never restored.
    virtual void SetMaximised(bool Maximised) = 0;

protected:
    ~TPlacedWindow() = default;
};

// The primary screen.
class TScreen {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual int PixelsPerInch() const = 0;

protected:
    ~TScreen() = default;
};

} // namespace brevlund
