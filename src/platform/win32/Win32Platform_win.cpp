#include "Win32Platform_win.h"

#include "ActivationContext_win.h"
#include "AdoLogQuery_win.h"
#include "engine/HostPath.h"

#include <stdexcept>

namespace brevlund {

TWin32Platform::TWin32Platform(HINSTANCE Instance) : Module(Instance) {
    UseActivationContextOf(Instance);
}

std::unique_ptr<TLogQuery> TWin32Platform::CreateLogQuery() {
    return std::make_unique<TAdoLogQuery>();
}

std::string TWin32Platform::HostExePath() const {
    // Long paths are cut by the API; grow until the whole path fits.
    std::string Path(MAX_PATH, '\0');
    for (;;) {
        const DWORD Length =
            GetModuleFileNameA(nullptr, Path.data(), static_cast<DWORD>(Path.size()));
        if (Length < Path.size()) {
            Path.resize(Length);
            return Path;
        }
        Path.resize(Path.size() * 2);
    }
}

void TWin32Platform::ProcessMessages() {
    MSG Message;
    while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
        if (Message.message == WM_QUIT) {
            // The quit belongs to the host's own loop: leave it for that loop.
            PostQuitMessage(static_cast<int>(Message.wParam));
            return;
        }
        TranslateMessage(&Message);
        DispatchMessageA(&Message);
    }
}

TStore& TWin32Platform::Store() {
    if (!Registry) Registry = std::make_unique<TRegistryStore>(HostExePath());
    return *Registry;
}

void TWin32Platform::ShowError(const std::string& Text) {
    const std::string Title = HostNameFromPath(HostExePath());
    MessageBoxA(GetActiveWindow(), Text.c_str(), Title.c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

namespace {
LRESULT CALLBACK PanelProc(HWND Window, UINT Message, WPARAM W, LPARAM L) {
    if (Message == WM_COMMAND || Message == WM_DRAWITEM || Message == WM_NOTIFY)
        return SendMessageA(GetParent(Window), Message, W, L);
    return DefWindowProcA(Window, Message, W, L);
}
} // namespace

void RegisterWindowClass(HINSTANCE Instance, const char* Name, WNDPROC Procedure, bool WithIcon) {
    WNDCLASSEXA Class{};
    Class.cbSize = sizeof Class;
    if (GetClassInfoExA(Instance, Name, &Class)) return;
    Class = WNDCLASSEXA{};
    Class.cbSize = sizeof Class;
    Class.hInstance = Instance;
    Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    if (WithIcon) Class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Class.lpfnWndProc = Procedure;
    Class.lpszClassName = Name;
    if (!RegisterClassExA(&Class))
        throw std::runtime_error(std::string("Cannot register the window class ") + Name);
}

void RegisterPanelClass(HINSTANCE Instance) {
    RegisterWindowClass(Instance, PanelClassName, PanelProc, false);
}

void DestroyOwnedWindow(HWND& Window) {
    if (!Window) return;
    SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
    DestroyWindow(Window);
    Window = nullptr;
}

void UnregisterWindowClasses(HINSTANCE Instance) {
    UnregisterMainWindowClass(Instance);
    UnregisterDomListWindowClass(Instance);
    UnregisterClassA(PanelClassName, Instance);
}

bool FormMessage(TFormBase& Form, UINT Message, LRESULT& Result) {
    switch (Message) {
    case WM_CLOSE:
        Form.Dispatch([&Form] { Form.Close(); });
        Result = 0;
        return true;
    case WM_QUERYENDSESSION: {
        bool CanClose = true;
        Form.Dispatch([&Form, &CanClose] { CanClose = Form.QueryEndSession(); });
        Result = CanClose;
        return true;
    }
    case WM_RELEASE:
        TFormBase::ReleaseNow(&Form);
        Result = 0;
        return true;
    }
    return false;
}

bool RunningUnderWine() {
    HMODULE Ntdll = GetModuleHandleA("ntdll.dll");
    return Ntdll && GetProcAddress(Ntdll, "wine_get_version") != nullptr;
}

HFONT CreatePointFont(const char* Face, int Points) {
    HDC Screen = GetDC(nullptr);
    const int Height = -MulDiv(Points, GetDeviceCaps(Screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, Screen);
    return CreateFontA(Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, Face);
}

} // namespace brevlund
