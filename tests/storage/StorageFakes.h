// A window and a screen without a platform, for the storage tests.
#pragma once

#include "storage/WindowPlacement.h"

#include <optional>
#include <ostream>
#include <tuple>

namespace brevlund {

inline auto Fields(const TWindowPlacementData& P) {
    return std::tie(P.Flags, P.ShowCmd, P.MinX, P.MinY, P.MaxX, P.MaxY, P.Left, P.Top, P.Right,
                    P.Bottom);
}

inline bool operator==(const TWindowPlacementData& A, const TWindowPlacementData& B) {
    return Fields(A) == Fields(B);
}

inline std::ostream& operator<<(std::ostream& Out, const TWindowPlacementData& P) {
    return Out << "{flags " << P.Flags << ", show " << P.ShowCmd << ", min " << P.MinX << ","
               << P.MinY << ", max " << P.MaxX << "," << P.MaxY << ", norm " << P.Left << ","
               << P.Top << "," << P.Right << "," << P.Bottom << "}";
}

namespace test {

// The designed placement: 400 by 300 at 100,50, no minimised or maximised position.
constexpr TWindowPlacementData Designed{0, 1, -1, -1, -1, -1, 100, 50, 500, 350};

class TFakeWindow final : public TPlacedWindow {
public:
    TWindowPlacementData GetPlacement() const override { return Placement; }
    void SetPlacement(const TWindowPlacementData& P) override {
        Placement = P;
        Placed = P;
    }
    bool IsVisible() const override { return Visible; }
    bool HasResizableBorder() const override { return Resizable; }
    int Width() const override { return Placement.Right - Placement.Left; }
    int Height() const override { return Placement.Bottom - Placement.Top; }
    void SetMaximised(bool Value) override { Maximised = Value; }

    TWindowPlacementData Placement = Designed;
    bool Visible = false;
    bool Resizable = true;
    std::optional<TWindowPlacementData> Placed; // the last placement handed over
    std::optional<bool> Maximised;              // the last state asked for
};

class TFakeScreen final : public TScreen {
public:
    TFakeScreen(int W, int H, int Ppi) : W(W), H(H), Ppi(Ppi) {}
    int Width() const override { return W; }
    int Height() const override { return H; }
    int PixelsPerInch() const override { return Ppi; }

    int W, H, Ppi;
};

} // namespace test
} // namespace brevlund
