// The statistics window on Win32: a stay-on-top window with the summary text
// box above a bottom panel holding the two buttons.
#include "Win32Platform_win.h"

#include "ActivationContext_win.h"
#include "MainForm/MainForm.h"

#include <commctrl.h>

#include <cstdint>
#include <stdexcept>

namespace brevlund {

namespace {

constexpr char FormClass[] = "TfmMainForm";
constexpr int IdBitBtn1 = 101;
constexpr int IdBtnOBL1 = 102;

// The design, in pixels at 96 pixels per inch.
constexpr int FormLeft = 967, FormTop = 202, FormWidth = 374, FormHeight = 196;
constexpr int PanelHeight = 23;
struct TButtonDesign {
    int Id, Left, Top, Width, Height;
    const char* Caption;
    const char* Glyph;
};
constexpr TButtonDesign ButtonDesigns[] = {
    {IdBitBtn1, 144, 1, 113, 22, "Recalc Statistic", "RECALC"},
    {IdBtnOBL1, 264, 0, 93, 23, "Multipliers", "MULTIPLIERS"},
};

// A push button drawn with its glyph left of the caption; greyed when disabled.
// Only for buttons of the old common controls, which cannot show a glyph
// themselves.
void DrawGlyphButton(const DRAWITEMSTRUCT& Item, HIMAGELIST Glyph, HFONT Font) {
    RECT Box = Item.rcItem;
    UINT Frame = DFCS_BUTTONPUSH;
    if (Item.itemState & ODS_SELECTED) Frame |= DFCS_PUSHED;
    DrawFrameControl(Item.hDC, &Box, DFC_BUTTON, Frame);

    char Caption[64];
    const int Length = GetWindowTextA(Item.hwndItem, Caption, sizeof Caption);
    HGDIOBJ OldFont = SelectObject(Item.hDC, Font);
    SIZE Text{};
    GetTextExtentPoint32A(Item.hDC, Caption, Length, &Text);
    const bool Disabled = (Item.itemState & ODS_DISABLED) != 0;
    const int Shift = (Item.itemState & ODS_SELECTED) ? 1 : 0;
    const int Left = Box.left + (Box.right - Box.left - (16 + 4 + Text.cx)) / 2 + Shift;
    const int Middle = (Box.top + Box.bottom) / 2 + Shift;
    // The light grey of the glyph is its mask: the button face shows through.
    ImageList_Draw(Glyph, Disabled ? 3 : 0, Item.hDC, Left, Middle - 8, ILD_TRANSPARENT);
    SetBkMode(Item.hDC, TRANSPARENT);
    SetTextColor(Item.hDC, GetSysColor(Disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    TextOutA(Item.hDC, Left + 20, Middle - Text.cy / 2, Caption, Length);
    SelectObject(Item.hDC, OldFont);
    if (Item.itemState & ODS_FOCUS) {
        InflateRect(&Box, -3, -3);
        DrawFocusRect(Item.hDC, &Box);
    }
}

// The light grey that stands for the button face in the glyphs.
constexpr COLORREF GlyphMask = RGB(192, 192, 192);

// A themed button's images, one per state in the order of its states (normal,
// hot, pressed, disabled, default, stylus hot): the glyph, and for the
// disabled state a pale grey copy of it. Null when the glyph cannot be read.
HIMAGELIST ButtonImages(HINSTANCE Instance, const char* Glyph) {
    constexpr int Size = 16, States = 6, Disabled = 3;
    HBITMAP Source = static_cast<HBITMAP>(
        LoadImageA(Instance, Glyph, IMAGE_BITMAP, Size, Size, LR_CREATEDIBSECTION));
    if (!Source) return nullptr;
    BITMAPINFO Info{};
    Info.bmiHeader = {sizeof(BITMAPINFOHEADER), Size, -Size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::uint32_t Pixels[Size * Size] = {};
    HDC Screen = GetDC(nullptr);
    const bool Read = GetDIBits(Screen, Source, 0, Size, Pixels, &Info, DIB_RGB_COLORS) == Size;
    DeleteObject(Source);
    // All six frames side by side, 0x00RRGGBB as the DIB holds them.
    std::uint32_t Strip[Size * Size * States];
    for (int Y = 0; Y < Size; ++Y)
        for (int Frame = 0; Frame < States; ++Frame)
            for (int X = 0; X < Size; ++X) {
                std::uint32_t Pixel = Pixels[Y * Size + X];
                const unsigned R = (Pixel >> 16) & 0xFF, G = (Pixel >> 8) & 0xFF, B = Pixel & 0xFF;
                if (Frame == Disabled && RGB(R, G, B) != GlyphMask) {
                    const unsigned Pale = 128 + (R * 30 + G * 59 + B * 11) / 200;
                    Pixel = (Pale << 16) | (Pale << 8) | Pale;
                }
                Strip[Y * Size * States + Frame * Size + X] = Pixel;
            }
    HIMAGELIST List = nullptr;
    HBITMAP Frames = CreateCompatibleBitmap(Screen, Size * States, Size);
    Info.bmiHeader.biWidth = Size * States;
    if (Read && Frames &&
        SetDIBits(Screen, Frames, 0, Size, Strip, &Info, DIB_RGB_COLORS) == Size) {
        List = ImageList_Create(Size, Size, ILC_COLOR32 | ILC_MASK, States, 0);
        if (List && ImageList_AddMasked(List, Frames, GlyphMask) < 0) {
            ImageList_Destroy(List);
            List = nullptr;
        }
    }
    if (Frames) DeleteObject(Frames);
    ReleaseDC(nullptr, Screen);
    return List;
}

class TWin32MainWindow final : public TMainWindowView, private TTextBox {
public:
    TWin32MainWindow(HINSTANCE Instance, TfmMainForm& AForm);
    ~TWin32MainWindow() override;

    std::uint32_t Handle() const override {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(Form));
    }
    void SetCaption(const std::string& Caption) override { SetWindowTextA(Form, Caption.c_str()); }
    std::string Caption() const override { return WindowText(Form); }
    TTextBox& StatisticBox() override { return *this; }
    TPlacedWindow& Placement() override { return Placed; }
    void SetRecalcEnabled(bool Enabled) override { EnableWindow(BitBtn1, Enabled); }
    void ShowAndBringToFront() override {
        // A minimised window comes back where the user sees it; a hidden one
        // (the first showing) takes the state its storage restored.
        if (IsIconic(Form))
            ShowWindow(Form, SW_RESTORE);
        else if (!IsWindowVisible(Form))
            ShowWindow(Form, Placed.ShowCommand());
        SetWindowPos(Form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        BringWindowToTop(Form);
    }
    void ShowMinimised() override {
        ShowWindow(Form, SW_SHOW);
        ShowWindow(Form, SW_MINIMIZE);
    }
    void PostRelease() override { PostMessageA(Form, WM_RELEASE, 0, 0); }

    static void RegisterClasses(HINSTANCE Instance);

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L);
    static std::string WindowText(HWND Window);

    void SetText(const std::string& Text) override { SetWindowTextA(myStatisticM, Text.c_str()); }
    std::string GetText() const override { return WindowText(myStatisticM); }
    void Layout();

    TfmMainForm& Owner;
    HWND Form = nullptr; // owned: destroyed with this object
    HWND Panel1 = nullptr, BitBtn1 = nullptr, btnOBL1 = nullptr, myStatisticM = nullptr;
    TWin32PlacedWindow Placed;
    TGdiObject<HFONT> FormFont{CreatePointFont("MS Sans Serif", 8)};
    TGdiObject<HFONT> MemoFont{CreatePointFont("Courier New", 8)};
    TImageList Glyphs[2];
    bool OwnerDrawn = false;        // the buttons draw their glyphs themselves
    int ButtonRightMargins[2] = {}; // the buttons keep their distance to the right edge
};

} // namespace

void TWin32MainWindow::RegisterClasses(HINSTANCE Instance) {
    RegisterPanelClass(Instance);
    RegisterWindowClass(Instance, FormClass, WindowProc, true);
}

void UnregisterMainWindowClass(HINSTANCE Instance) {
    UnregisterClassA(FormClass, Instance);
}

TWin32MainWindow::TWin32MainWindow(HINSTANCE Instance, TfmMainForm& AForm) : Owner(AForm) {
    RegisterClasses(Instance);
    // Created hidden: the window has its handle before it is first shown.
    Form = CreateWindowExA(
        WS_EX_TOPMOST, FormClass, DesignCaption,
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN,
        FormLeft, FormTop, FormWidth, FormHeight, nullptr, nullptr, Instance, this);
    if (!Form) throw std::runtime_error("Cannot create the statistics window");
    Placed.SetHandle(Form);

    RECT Client;
    GetClientRect(Form, &Client);
    Panel1 = CreateWindowExA(0, PanelClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                             Client.bottom - PanelHeight, Client.right, PanelHeight, Form, nullptr,
                             Instance, nullptr);
    HWND* Buttons[] = {&BitBtn1, &btnOBL1};
    for (int I = 0; I < 2; ++I) {
        const TButtonDesign& D = ButtonDesigns[I];
        *Buttons[I] = CreateWindowExA(
            0, "BUTTON", D.Caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, D.Left,
            D.Top, D.Width, D.Height, Panel1, reinterpret_cast<HMENU>(static_cast<INT_PTR>(D.Id)),
            Instance, nullptr);
        if (!*Buttons[I])
            throw std::runtime_error("Cannot create the statistics window's controls");
        SendMessageA(*Buttons[I], WM_SETFONT, reinterpret_cast<WPARAM>(FormFont.Get()), FALSE);
        Glyphs[I].Reset(ButtonImages(Instance, D.Glyph));
        // Common controls 6 draw the glyph on a themed button; older buttons
        // refuse the image list and are drawn here instead.
        BUTTON_IMAGELIST Image{Glyphs[I].Get(), {2, 0, 2, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
        if (!SendMessageA(*Buttons[I], BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&Image))) {
            SetWindowLongA(*Buttons[I], GWL_STYLE,
                           (GetWindowLongA(*Buttons[I], GWL_STYLE) & ~BS_TYPEMASK) | BS_OWNERDRAW);
            OwnerDrawn = true;
        }
        ButtonRightMargins[I] = Client.right - D.Left;
    }
    myStatisticM = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE |
                                       ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                                   0, 0, Client.right, Client.bottom - PanelHeight, Form, nullptr,
                                   Instance, nullptr);
    if (!Panel1 || !BitBtn1 || !btnOBL1 || !myStatisticM)
        throw std::runtime_error("Cannot create the statistics window's controls");
    SendMessageA(myStatisticM, WM_SETFONT, reinterpret_cast<WPARAM>(MemoFont.Get()), FALSE);
    SendMessageA(myStatisticM, EM_SETLIMITTEXT, 0, 0); // no 32K cap on a long summary
    SendMessageA(Form, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont.Get()), FALSE);
}

TWin32MainWindow::~TWin32MainWindow() {
    DestroyOwnedWindow(Form);
}

std::string TWin32MainWindow::WindowText(HWND Window) {
    std::string Text(static_cast<std::size_t>(GetWindowTextLengthA(Window)) + 1, '\0');
    Text.resize(static_cast<std::size_t>(
        GetWindowTextA(Window, Text.data(), static_cast<int>(Text.size()))));
    return Text;
}

void TWin32MainWindow::Layout() {
    RECT Client;
    GetClientRect(Form, &Client);
    MoveWindow(Panel1, 0, Client.bottom - PanelHeight, Client.right, PanelHeight, TRUE);
    MoveWindow(myStatisticM, 0, 0, Client.right, Client.bottom - PanelHeight, TRUE);
    HWND Buttons[] = {BitBtn1, btnOBL1};
    for (int I = 0; I < 2; ++I) {
        const TButtonDesign& D = ButtonDesigns[I];
        MoveWindow(Buttons[I], Client.right - ButtonRightMargins[I], D.Top, D.Width, D.Height,
                   TRUE);
    }
    // The buttons draw themselves: repaint them whole where they now stand
    // rather than trust bits copied from where they were.
    RedrawWindow(Panel1, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT CALLBACK TWin32MainWindow::WindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
    // Whatever the handlers create (the multipliers window, error boxes) is
    // made with the plug-in's common controls.
    TActivationScope Scope;
    auto* Self = WindowObject<TWin32MainWindow>(Window, Message, L);
    if (!Self) return DefWindowProcA(Window, Message, W, L);
    // Every handler that goes through Dispatch may end with the window released:
    // nothing touches Self after it.
    TfmMainForm& F = Self->Owner;
    switch (Message) {
    case WM_SIZE:
        if (Self->myStatisticM) Self->Layout();
        return 0;
    case WM_COMMAND:
        if (HIWORD(W) == BN_CLICKED && LOWORD(W) == IdBitBtn1) {
            F.Dispatch([&F] { F.BitBtn1Click(); });
            return 0;
        }
        if (HIWORD(W) == BN_CLICKED && LOWORD(W) == IdBtnOBL1) {
            F.Dispatch([&F] { F.btnOBL1Click(); });
            return 0;
        }
        break;
    case WM_DRAWITEM: {
        if (!Self->OwnerDrawn) break;
        const auto& Item = *reinterpret_cast<const DRAWITEMSTRUCT*>(L);
        const int Index = Item.CtlID == IdBitBtn1 ? 0 : 1;
        DrawGlyphButton(Item, Self->Glyphs[Index].Get(), Self->FormFont.Get());
        return TRUE;
    }
    case WM_SYSCOMMAND: {
        bool Handled = false;
        F.Dispatch([&F, &Handled, W] { Handled = F.WMSysCommand(static_cast<unsigned>(W)); });
        return Handled ? 0 : DefWindowProcA(Window, Message, W, L);
    }
    case WM_CLOSE:
        F.Dispatch([&F] { F.Close(); });
        return 0;
    case WM_QUERYENDSESSION: {
        bool CanClose = true;
        F.Dispatch([&F, &CanClose] { CanClose = F.QueryEndSession(); });
        return CanClose;
    }
    case WM_RELEASE:
        TfmMainForm::ReleaseNow(&F);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
        Self->Form = nullptr;
        break;
    }
    return DefWindowProcA(Window, Message, W, L);
}

std::unique_ptr<TMainWindowView> TWin32Platform::CreateMainWindow(TfmMainForm& Form) {
    return std::make_unique<TWin32MainWindow>(Module, Form);
}

} // namespace brevlund
