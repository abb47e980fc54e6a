// The plug-in's windows on Win32: real top-level windows of the host's
// user-interface thread, the ADO log query, and the host's message loop.
#pragma once

#include "MainForm/FormBase.h"
#include "MainForm/FormPlatform.h"
#include "platform/win32/RegistryStore_win.h"
#include "platform/win32/WindowPlacement_win.h"

#include <windows.h>

#include <commctrl.h>

namespace brevlund {

// Owns a GDI object; copying is refused so it is deleted once.
template <typename Handle> class TGdiObject {
public:
    explicit TGdiObject(Handle AObject = nullptr) : Object(AObject) {}
    ~TGdiObject() {
        if (Object) DeleteObject(Object);
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    Handle Get() const { return Object; }
    void Reset(Handle Replacement) {
        if (Object) DeleteObject(Object);
        Object = Replacement;
    }

private:
    Handle Object;
};

// Owns an image list, like TGdiObject a GDI object.
class TImageList {
public:
    ~TImageList() { Reset(nullptr); }
    TImageList() = default;
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;
    HIMAGELIST Get() const { return List; }
    void Reset(HIMAGELIST Replacement) {
        if (List) ImageList_Destroy(List);
        List = Replacement;
    }

private:
    HIMAGELIST List = nullptr;
};

class TWin32Platform final : public TFormPlatform {
public:
    // Instance: the module that holds the window procedures and resources.
    explicit TWin32Platform(HINSTANCE Instance);

    std::unique_ptr<TMainWindowView> CreateMainWindow(TfmMainForm& Form) override;
    std::unique_ptr<TDomListView> CreateDomListWindow(TfmDomList& Form,
                                                      TMainWindowView& Owner) override;
    std::unique_ptr<TLogQuery> CreateLogQuery() override;
    std::string HostExePath() const override;
    void ProcessMessages() override;
    void ShowError(const std::string& Text) override;
    TStore& Store() override;
    const TScreen& Screen() const override { return Display; }

    HINSTANCE Instance() const { return Module; }

private:
    HINSTANCE Module;
    std::unique_ptr<TRegistryStore> Registry; // made at first use: it needs the host's path
    TWin32Screen Display;
};

// A DLL's window classes outlive it unless it unregisters them at unload.
void UnregisterWindowClasses(HINSTANCE Instance);
void UnregisterMainWindowClass(HINSTANCE Instance);
void UnregisterDomListWindowClass(HINSTANCE Instance);

// Registers a window class of the module unless it is there already; throws
// when the system refuses it.
void RegisterWindowClass(HINSTANCE Instance, const char* Name, WNDPROC Procedure, bool WithIcon);

// The object behind a window: CreateWindowEx's last argument, kept from
// WM_NCCREATE on. Null before that and once the object has let go.
template <typename Object> Object* WindowObject(HWND Window, UINT Message, LPARAM L) {
    if (Message == WM_NCCREATE)
        SetWindowLongPtrA(
            Window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(L)->lpCreateParams));
    return reinterpret_cast<Object*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
}

// Destroys a window its object owns; the messages of the destruction no longer
// reach the object, which is itself being destroyed.
void DestroyOwnedWindow(HWND& Window);

// The panel: a plain child in the button face colour that hands its children's
// notifications to its parent.
constexpr char PanelClassName[] = "TPanel";
void RegisterPanelClass(HINSTANCE Instance);

// The release request a window posts to itself.
constexpr UINT WM_RELEASE = WM_APP + 0x100;

// The messages both windows answer alike: the close message, the logoff query
// and the release request. True, with the answer in Result, when Message was
// one of them; Form may be gone then.
bool FormMessage(TFormBase& Form, UINT Message, LRESULT& Result);

// Wine stands in for Windows in the tests; a few of its controls draw differently.
bool RunningUnderWine();

// A font of the given face and point size for the screen.
HFONT CreatePointFont(const char* Face, int Points);

} // namespace brevlund
