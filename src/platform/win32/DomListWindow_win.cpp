// The multipliers window on Win32: a stay-on-top window owned by the statistics
// window, a bar of nine push-like band buttons over a list view in list style
// whose items are drawn blue, bold and underlined when marked.
#include "Win32Platform_win.h"

#include "ActivationContext_win.h"
#include "domlist/DomList.h"

#include <commctrl.h>

#include <cstdint>
#include <stdexcept>

namespace brevlund {

namespace {

constexpr char FormClass[] = "TfmDomList";
constexpr int FormLeft = 1020, FormTop = 164, FormWidth = 339, FormHeight = 182;
constexpr int BarHeight = 18;
constexpr int IdFirstBand = 201; // RzBitBtn1; RzBitBtn9 is IdFirstBand + 8
constexpr int IdList = 300;
constexpr COLORREF Blue = RGB(0, 0, 255);

class TWin32DomListWindow final : public TDomListView {
public:
    TWin32DomListWindow(HINSTANCE Instance, TfmDomList& AForm, HWND Owner);
    ~TWin32DomListWindow() override;

    std::uint32_t Handle() const override {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(Form));
    }
    void PressBandButton(int Number) override;
    void SetItems(const std::vector<std::string>& Captions) override;
    void RepaintList() override {
        RedrawWindow(LV1, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    void Show() override { ShowWindow(Form, SW_SHOW); }
    TPlacedWindow& Placement() override { return Placed; }
    void PostRelease() override {
        ShowWindow(Form, SW_HIDE);
        PostMessageA(Form, WM_RELEASE, 0, 0);
    }

    static void RegisterClasses(HINSTANCE Instance);

private:
    static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L);
    LRESULT CustomDraw(NMLVCUSTOMDRAW& Draw);
    void Layout();

    TfmDomList& Owner;
    HWND Form = nullptr; // owned: destroyed with this object
    HWND Panel2 = nullptr, LV1 = nullptr;
    HWND RzBitBtn[9] = {};
    std::vector<std::string> Captions; // item i of LV1 shows Captions[i]
    TWin32PlacedWindow Placed;
    TGdiObject<HFONT> FormFont{CreatePointFont("MS Sans Serif", 8)};
    TGdiObject<HFONT> MarkedFont;
};

} // namespace

void TWin32DomListWindow::RegisterClasses(HINSTANCE Instance) {
    INITCOMMONCONTROLSEX Controls{sizeof Controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&Controls);
    RegisterPanelClass(Instance);
    RegisterWindowClass(Instance, FormClass, WindowProc, true);
}

void UnregisterDomListWindowClass(HINSTANCE Instance) {
    UnregisterClassA(FormClass, Instance);
}

TWin32DomListWindow::TWin32DomListWindow(HINSTANCE Instance, TfmDomList& AForm, HWND OwnerWindow)
    : Owner(AForm) {
    RegisterClasses(Instance);
    LOGFONTA Font{};
    GetObjectA(FormFont.Get(), sizeof Font, &Font);
    Font.lfWeight = FW_BOLD;
    Font.lfUnderline = TRUE;
    MarkedFont.Reset(CreateFontIndirectA(&Font));

    // Owned by the statistics window: it stays above it and goes with it.
    Form = CreateWindowExA(
        WS_EX_TOPMOST, FormClass, "Multipliers",
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CLIPCHILDREN,
        FormLeft, FormTop, FormWidth, FormHeight, OwnerWindow, nullptr, Instance, this);
    if (!Form) throw std::runtime_error("Cannot create the multipliers window");
    Placed.SetHandle(Form);

    RECT Client;
    GetClientRect(Form, &Client);
    Panel2 = CreateWindowExA(0, PanelClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             Client.right, BarHeight, Form, nullptr, Instance, nullptr);
    for (int I = 0; I < 9; ++I) {
        const std::string Caption(BandLabels[I]);
        // Push-like radio buttons: pressed or not, pressed only through SelectBand.
        RzBitBtn[I] = CreateWindowExA(
            0, "BUTTON", Caption.c_str(),
            WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | BS_PUSHLIKE | (I == 0 ? WS_GROUP : 0), 0, 0,
            10, 10, Panel2, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdFirstBand + I)),
            Instance, nullptr);
        SendMessageA(RzBitBtn[I], WM_SETFONT, reinterpret_cast<WPARAM>(FormFont.Get()), FALSE);
    }
    LV1 =
        CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_LIST | LVS_SHAREIMAGELISTS,
                        0, BarHeight, Client.right, Client.bottom - BarHeight, Form,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdList)), Instance, nullptr);
    if (!Panel2 || !LV1)
        throw std::runtime_error("Cannot create the multipliers window's controls");
    SendMessageA(LV1, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont.Get()), FALSE);
    // Double-buffered against flicker, except under Wine, whose list view then
    // leaves a strip as high as the band bar unpainted. Flat scroll bars are
    // left out: not every common-controls version draws them.
    if (!RunningUnderWine())
        SendMessageA(LV1, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER, LVS_EX_DOUBLEBUFFER);
    SendMessageA(Form, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont.Get()), FALSE);
    PressBandButton(4); // "10", as designed
    Layout();
}

TWin32DomListWindow::~TWin32DomListWindow() {
    DestroyOwnedWindow(Form);
}

void TWin32DomListWindow::PressBandButton(int Number) {
    for (int I = 0; I < 9; ++I)
        SendMessageA(RzBitBtn[I], BM_SETCHECK, I + 1 == Number ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TWin32DomListWindow::SetItems(const std::vector<std::string>& Items) {
    SendMessageA(LV1, LVM_DELETEALLITEMS, 0, 0);
    Captions = Items;
    for (std::size_t I = 0; I < Captions.size(); ++I) {
        LVITEMA Item{};
        Item.mask = LVIF_TEXT;
        Item.iItem = static_cast<int>(I);
        Item.pszText = const_cast<char*>(Captions[I].c_str());
        SendMessageA(LV1, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&Item));
    }
    // Through icon view and back: the list arranges its items afresh.
    const LONG Style = GetWindowLongA(LV1, GWL_STYLE);
    SetWindowLongA(LV1, GWL_STYLE, (Style & ~LVS_TYPEMASK) | LVS_ICON);
    SetWindowLongA(LV1, GWL_STYLE, (Style & ~LVS_TYPEMASK) | LVS_LIST);
}

void TWin32DomListWindow::Layout() {
    RECT Client;
    GetClientRect(Form, &Client);
    MoveWindow(Panel2, 0, 0, Client.right, BarHeight, TRUE);
    MoveWindow(LV1, 0, BarHeight, Client.right, Client.bottom - BarHeight, TRUE);
    const std::vector<TButtonPlace> Places = TfmDomList::Panel2Resize(Client.right, BarHeight);
    for (std::size_t I = 0; I < Places.size() && I < 9; ++I)
        MoveWindow(RzBitBtn[I], Places[I].Left, Places[I].Top, Places[I].Width, Places[I].Height,
                   TRUE);
    RedrawWindow(Panel2, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

LRESULT TWin32DomListWindow::CustomDraw(NMLVCUSTOMDRAW& Draw) {
    if (Draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (Draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || Draw.nmcd.dwItemSpec >= Captions.size())
        return CDRF_DODEFAULT;
    switch (Owner.LV1CustomDrawItem(Captions[Draw.nmcd.dwItemSpec])) {
    case TItemLook::Marked:
        SelectObject(Draw.nmcd.hdc, MarkedFont.Get());
        Draw.clrText = Blue;
        return CDRF_NEWFONT;
    case TItemLook::Black:
        SelectObject(Draw.nmcd.hdc, FormFont.Get());
        Draw.clrText = RGB(0, 0, 0);
        return CDRF_NEWFONT;
    case TItemLook::Plain:
        break;
    }
    return CDRF_DODEFAULT;
}

LRESULT CALLBACK TWin32DomListWindow::WindowProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
    TActivationScope Scope; // error boxes, too, with the plug-in's common controls
    auto* Self = WindowObject<TWin32DomListWindow>(Window, Message, L);
    if (!Self) return DefWindowProcA(Window, Message, W, L);
    // A handler run through Dispatch may end with the window released: nothing
    // touches Self after it.
    TfmDomList& F = Self->Owner;
    if (LRESULT Result; FormMessage(F, Message, Result)) return Result;
    switch (Message) {
    case WM_SIZE:
        if (Self->LV1) Self->Layout();
        return 0;
    case WM_COMMAND: {
        const int Id = LOWORD(W);
        if (HIWORD(W) == BN_CLICKED && Id >= IdFirstBand && Id < IdFirstBand + 9) {
            const int Tag = Id - IdFirstBand + 1;
            F.Dispatch([&F, Tag] { F.RzBitBtn1Click(Tag); });
            return 0;
        }
        break;
    }
    case WM_NOTIFY: {
        auto* Header = reinterpret_cast<NMHDR*>(L);
        if (Header->idFrom == IdList && Header->code == NM_CUSTOMDRAW)
            return Self->CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(L));
        break;
    }
    case WM_NCDESTROY:
        SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
        Self->Form = nullptr;
        break;
    }
    return DefWindowProcA(Window, Message, W, L);
}

std::unique_ptr<TDomListView> TWin32Platform::CreateDomListWindow(TfmDomList& Form,
                                                                  TMainWindowView& Owner) {
    return std::make_unique<TWin32DomListWindow>(
        Module, Form, reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Owner.Handle())));
}

} // namespace brevlund
