#include "WindowChecks.h"

#include "HostKit.h"

#include "engine/LocaleText.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

namespace {

using namespace brevlund::host;

// The host's record for _Run.
TContext Host = HostContext();

std::string RectText(HWND Window) {
    RECT R{};
    GetWindowRect(Window, &R);
    char Text[64];
    std::snprintf(Text, sizeof Text, "%ld,%ld,%ld,%ld", static_cast<long>(R.left),
                  static_cast<long>(R.top), static_cast<long>(R.right),
                  static_cast<long>(R.bottom));
    return Text;
}

// ---- Placement before showing ------------------------------------------------

// Where each of the plug-in's windows stood when it turned visible.
std::map<std::string, std::string> RectAtShowing;

LRESULT CALLBACK WatchShowing(int Code, WPARAM W, LPARAM L) {
    const auto* Message = reinterpret_cast<const CWPSTRUCT*>(L);
    if (Code == HC_ACTION && Message->message == WM_SHOWWINDOW && Message->wParam) {
        const std::string Class = ClassOf(Message->hwnd);
        if ((Class == "TfmMainForm" || Class == "TfmDomList") && !RectAtShowing.count(Class))
            RectAtShowing[Class] = RectText(Message->hwnd);
    }
    return CallNextHookEx(nullptr, Code, W, L);
}

void PlacementBeforeShowing(TPlugin& Plugin) {
    WriteHostValue("TfmMainForm", "NormPos", "200,150,620,400");
    WriteHostValue("TfmDomList", "NormPos", "650,120,1000,320");
    RectAtShowing.clear();
    HHOOK Hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchShowing, nullptr, GetCurrentThreadId());
    const HWND Form = Plugin.Show(Host);
    const HWND D = OpenMultipliers(Form);
    UnhookWindowsHookEx(Hook);
    const std::string Main = RectAtShowing.count("TfmMainForm") ? RectAtShowing["TfmMainForm"] : "";
    const std::string Dom = RectAtShowing.count("TfmDomList") ? RectAtShowing["TfmDomList"] : "";
    Check(Main == "200,150,620,400", "the statistics window appears where it was left",
          "at " + Main);
    Check(Dom == "650,120,1000,320", "the multipliers window appears where it was left",
          "at " + Dom);

    // The logoff query: the multipliers window's storage saves, nothing closes.
    MoveWindow(D, 660, 130, 350, 200, TRUE);
    const LRESULT MayEnd = SendMessageA(D, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    Check(MayEnd == TRUE && IsWindowVisible(D), "the logoff query leaves the multipliers window");
    Check(HostValue("TfmDomList", "NormPos") == "660,130,1010,330" &&
              HostValue("TfmDomList", "Visible") == "0",
          "the logoff query saves the multipliers window's placement",
          HostValue("TfmDomList", "NormPos"));

    // A second _Run on a minimised statistics window.
    SendMessageA(Form, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(100);
    const bool Minimised = IsIconic(Form) != FALSE;
    Plugin.RunWindow(Host);
    Pump(100);
    Check(Minimised && !IsIconic(Form) && IsWindowVisible(Form),
          "a second _Run brings a minimised statistics window back");
    Plugin.ReleaseWindows();
}

// A statistics window left maximised comes back maximised, and shows so at once.
void MaximisedState(TPlugin& Plugin) {
    WriteHostValue("TfmMainForm", "ShowCmd", "3");
    const HWND Form = Plugin.Show(Host);
    Check(IsZoomed(Form) && IsWindowVisible(Form), "a window saved maximised comes back so");
    Plugin.ReleaseWindows();
}

// ---- The host ends without _Release --------------------------------------

void ExitWithoutRelease() {
    const DWORD ExitCode = RunThisProgram("exit-open");
    Check(ExitCode == 0, "a host ends with both windows open",
          "exit code " + std::to_string(ExitCode));
    Check(HostValue("TfmMainForm", "NormPos") == "150,120,550,350",
          "the statistics window's placement was saved at the end of the process",
          HostValue("TfmMainForm", "NormPos"));
    Check(HostValue("TfmMainForm", "CurrentBand") == "5", "and the band chosen last (14)",
          HostValue("TfmMainForm", "CurrentBand"));
    Check(HostValue("TfmDomList", "NormPos") == "600,100,940,290",
          "the multipliers window's placement too", HostValue("TfmDomList", "NormPos"));
}

// ---- A release while the multipliers window's close shows an error box ----

struct TBoxWatch {
    int Ticks = 0;
    bool BoxAtFirstTick = false, BoxAtSecondTick = false;
    bool FormMeanwhile = false, DomListMeanwhile = false;
    HWND Form = nullptr, DomList = nullptr;
    UINT_PTR Timer = 0;
    TPlugin* Plugin = nullptr; // the scenario's
} Watch;

// Runs from the error box's own message loop, as a host's timer would.
void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    if (++Watch.Ticks == 1) {
        Watch.BoxAtFirstTick = MessageBoxUp();
        Watch.Plugin->Release();
        return;
    }
    Watch.BoxAtSecondTick = MessageBoxUp();
    Watch.FormMeanwhile = IsWindow(Watch.Form) != FALSE;
    Watch.DomListMeanwhile = IsWindow(Watch.DomList) != FALSE;
    KillTimer(nullptr, Watch.Timer);
    HoldMessageBoxes = false;
}

void ReleaseDuringTheCloseBox(TPlugin& Plugin) {
    // Below a volatile host key no lasting section can be made: every save fails.
    HKEY Key;
    RegCreateKeyExA(HKEY_CURRENT_USER, HostKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, &Key, nullptr);
    RegCloseKey(Key);
    Watch = TBoxWatch{};
    Watch.Plugin = &Plugin;
    Watch.Form = Plugin.Show(Host);
    Watch.DomList = OpenMultipliers(Watch.Form);
    HoldMessageBoxes = true;
    Watch.Timer = SetTimer(nullptr, 0, 150, OnTick);
    SendMessageA(Watch.DomList, WM_CLOSE, 0, 0);
    Pump(800);
    HoldMessageBoxes = false;
    KillTimer(nullptr, Watch.Timer);
    Check(Watch.BoxAtFirstTick && Watch.BoxAtSecondTick,
          "the multipliers window's failed close-time save shows a box while _Release comes");
    Check(Watch.FormMeanwhile && Watch.DomListMeanwhile,
          "both windows wait for the close handler to return");
    Check(!IsWindow(Watch.Form) && !IsWindow(Watch.DomList), "then both go");
    EmptyHostKey(); // the volatile key would outlive this process
}

// ---- Common controls 6 and the resources ------------------------------------

std::string ModulePathOf(const void* Address) {
    HMODULE Module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(Address), &Module))
        return "(no module)";
    char Path[MAX_PATH] = "";
    GetModuleFileNameA(Module, Path, MAX_PATH);
    std::string Lower(Path);
    for (char& C : Lower)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return Lower;
}

// The image list functions of the common controls the plug-in uses, found
// through one of its controls: the test host itself loads no common controls,
// as a host need not, or Wine would hand the plug-in that copy.
struct TImageListCalls {
    int(WINAPI* Count)(HIMAGELIST) = nullptr;
    BOOL(WINAPI* Draw)(HIMAGELIST, int, HDC, int, int, UINT) = nullptr;

    explicit TImageListCalls(HWND Control) {
        HMODULE Module = nullptr;
        GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(GetWindowLongPtrW(Control, GWLP_WNDPROC)), &Module);
        if (!Module) return;
        Count = reinterpret_cast<decltype(Count)>(
            reinterpret_cast<void*>(GetProcAddress(Module, "ImageList_GetImageCount")));
        Draw = reinterpret_cast<decltype(Draw)>(
            reinterpret_cast<void*>(GetProcAddress(Module, "ImageList_Draw")));
    }
};

// Whether image Index of List, drawn on white, holds no colour but grey.
bool GreyOnly(const TImageListCalls& Calls, HIMAGELIST List, int Index) {
    HDC Screen = GetDC(nullptr);
    HDC Memory = CreateCompatibleDC(Screen);
    HBITMAP Bitmap = CreateCompatibleBitmap(Screen, 16, 16);
    HGDIOBJ Old = SelectObject(Memory, Bitmap);
    RECT All{0, 0, 16, 16};
    FillRect(Memory, &All, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Calls.Draw(List, Index, Memory, 0, 0, ILD_TRANSPARENT);
    bool Grey = true;
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 16; ++X) {
            const COLORREF C = GetPixel(Memory, X, Y);
            if (GetRValue(C) != GetGValue(C) || GetGValue(C) != GetBValue(C)) Grey = false;
        }
    SelectObject(Memory, Old);
    DeleteObject(Bitmap);
    DeleteDC(Memory);
    ReleaseDC(nullptr, Screen);
    return Grey;
}

void CommonControls6(TPlugin& Plugin) {
    const HWND Form = Plugin.Show(Host);
    const HWND D = OpenMultipliers(Form);
    const HWND List = D ? VersionedChild(D, WC_LISTVIEWA) : nullptr;
    const std::string ListCode =
        List ? ModulePathOf(reinterpret_cast<void*>(GetWindowLongPtrW(List, GWLP_WNDPROC))) : "";
    Check(ListCode.find("\\winsxs\\") != std::string::npos &&
              ListCode.find("common-controls") != std::string::npos,
          "the list view is common controls 6, from winsxs", ListCode);
    const HWND Recalc = VersionedChild(Form, "Button", "Recalc Statistic");
    const std::string ButtonCode =
        Recalc ? ModulePathOf(reinterpret_cast<void*>(GetWindowLongPtrW(Recalc, GWLP_WNDPROC)))
               : "";
    Check(ButtonCode.find("\\winsxs\\") != std::string::npos,
          "the buttons are common controls 6 too (themed)", ButtonCode);
    Check(!(GetWindowLongA(Recalc, GWL_STYLE) & BS_OWNERDRAW),
          "the glyph buttons draw themselves with their image list");
    // Themed: the controls hold the system's visual style (Wine's own is on in
    // a fresh prefix).
    HMODULE UxTheme = LoadLibraryA("uxtheme.dll");
    const auto ThemeActive = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(UxTheme, "IsThemeActive")));
    const auto WindowTheme = reinterpret_cast<HANDLE(WINAPI*)(HWND)>(
        reinterpret_cast<void*>(GetProcAddress(UxTheme, "GetWindowTheme")));
    const HWND Band = D ? VersionedChild(D, "Button", "14") : nullptr;
    Check(ThemeActive && WindowTheme && ThemeActive() && WindowTheme(Recalc) && WindowTheme(Band) &&
              WindowTheme(List),
          "the buttons and the list are drawn in the visual style");
    if (UxTheme) FreeLibrary(UxTheme);
    BUTTON_IMAGELIST Images{};
    SendMessageA(Recalc, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&Images));
    const TImageListCalls Calls(Recalc);
    Check(Images.himl && Calls.Count && Calls.Draw && Calls.Count(Images.himl) == 6 &&
              !GreyOnly(Calls, Images.himl, 0) && GreyOnly(Calls, Images.himl, 3),
          "one image per button state, the disabled one grey");
    Plugin.ReleaseWindows();
}

std::string VersionString(const std::vector<char>& Block, const char* Name) {
    char* Text = nullptr;
    UINT Length = 0;
    const std::string Path = std::string("\\StringFileInfo\\040904E4\\") + Name;
    if (!VerQueryValueA(Block.data(), Path.c_str(), reinterpret_cast<void**>(&Text), &Length) ||
        !Text)
        return "(none)";
    return Text;
}

std::vector<char> VersionBlock(const std::string& DllPath) {
    DWORD Ignored = 0;
    const DWORD Size = GetFileVersionInfoSizeA(DllPath.c_str(), &Ignored);
    std::vector<char> Block(Size);
    if (!Size || !GetFileVersionInfoA(DllPath.c_str(), 0, Size, Block.data())) Block.clear();
    return Block;
}

void Resources(TPlugin& Plugin) {
    const std::string DllPath = PluginPath();
    HRSRC Manifest = FindResourceA(Plugin.Module, MAKEINTRESOURCEA(2), MAKEINTRESOURCEA(24));
    std::string Text;
    if (Manifest) {
        const char* Data =
            static_cast<const char*>(LockResource(LoadResource(Plugin.Module, Manifest)));
        Text.assign(Data, SizeofResource(Plugin.Module, Manifest));
    }
    Check(Text.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
              Text.find("version=\"6.0.0.0\"") != std::string::npos,
          "the DLL carries its own manifest for common controls 6 (type 24, ID 2)");

    const std::vector<char> Block = VersionBlock(DllPath);
    Check(!Block.empty(), "the DLL has a version resource");
    if (Block.empty()) return;
    Check(VersionString(Block, "ProductName") == "Brevlund DX Contest", "its product name");
    Check(VersionString(Block, "FileVersion") == BREVLUND_VERSION &&
              VersionString(Block, "ProductVersion") == BREVLUND_VERSION,
          "file and product version from the project's version",
          VersionString(Block, "FileVersion"));
    Check(VersionString(Block, "OriginalFilename") == "BrevlundDXContest.dll",
          "its original file name");
    Check(VersionString(Block, "FileDescription") != "(none)", "its file description");
    VS_FIXEDFILEINFO* Fixed = nullptr;
    UINT Length = 0;
    char Numbers[64] = "";
    if (VerQueryValueA(Block.data(), "\\", reinterpret_cast<void**>(&Fixed), &Length) && Fixed)
        std::snprintf(Numbers, sizeof Numbers, "%lu.%lu.%lu",
                      static_cast<unsigned long>(HIWORD(Fixed->dwFileVersionMS)),
                      static_cast<unsigned long>(LOWORD(Fixed->dwFileVersionMS)),
                      static_cast<unsigned long>(HIWORD(Fixed->dwFileVersionLS)));
    Check(std::string(Numbers) == BREVLUND_VERSION, "the numeric file version", Numbers);
}

// ---- The locale: the headless comparison against CompareStringA ------------

void LocaleOrder() {
    std::vector<std::string> Texts = {"",
                                      "ab",
                                      "AB",
                                      "Ab",
                                      "aB",
                                      "abc",
                                      "ABD",
                                      "aBc",
                                      "Abc",
                                      "cd",
                                      "CD",
                                      "co-op",
                                      "coop",
                                      "coo-p",
                                      "CO-OP",
                                      "it's",
                                      "its",
                                      "Its",
                                      "a b",
                                      "a-b",
                                      "a'b",
                                      "-a",
                                      "a-",
                                      "--a",
                                      "a--",
                                      "'a",
                                      "a-bc",
                                      "ab-c",
                                      "ab-",
                                      "-ab",
                                      "x-y",
                                      "x'y",
                                      "14|AB|",
                                      "14|ab|",
                                      "7|AB|",
                                      "17|CD|",
                                      "1.8",
                                      "3.5",
                                      "10",
                                      "28",
                                      "AN",
                                      "an",
                                      "Bo",
                                      "BO",
                                      "EFGH",
                                      "XY",
                                      " AB",
                                      "AB ",
                                      "A\tB",
                                      "x7",
                                      "X7",
                                      "CurrentBand",
                                      "currentband",
                                      "NormPos",
                                      "AN=AN",
                                      "an=AN",
                                      "a\x01"
                                      "b"};
    for (int C = 1; C < 128; ++C)
        Texts.emplace_back(1, static_cast<char>(C));
    int Pairs = 0, Differ = 0;
    std::string First;
    for (const std::string& A : Texts)
        for (const std::string& B : Texts) {
            ++Pairs;
            const int Windows = CompareStringA(LOCALE_USER_DEFAULT, 0, A.data(), int(A.size()),
                                               B.data(), int(B.size())) -
                                CSTR_EQUAL;
            const bool WindowsSame =
                CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, A.data(), int(A.size()),
                               B.data(), int(B.size())) == CSTR_EQUAL;
            const int Ours = brevlund::locale::Compare(A, B);
            const int Sign = Ours < 0 ? -1 : Ours > 0 ? 1 : 0;
            if (Sign != Windows || brevlund::locale::SameText(A, B) != WindowsSame) {
                if (++Differ <= 5) {
                    char Line[128];
                    std::snprintf(Line, sizeof Line, " [%s|%s] %d/%d", A.c_str(), B.c_str(),
                                  Windows, Sign);
                    First += Line;
                }
            }
        }
    Check(Differ == 0,
          "the headless locale orders " + std::to_string(Pairs) + " pairs as CompareStringA",
          std::to_string(Differ) + " differ:" + First);
}

} // namespace

std::vector<TScenario> WindowScenarios() {
    return {{"resources", WithPlugin<Resources>},
            {"locale-order", LocaleOrder},
            {"placement", WithPlugin<PlacementBeforeShowing>},
            {"maximised", WithPlugin<MaximisedState>},
            {"exit-without-release", ExitWithoutRelease},
            {"common-controls", WithPlugin<CommonControls6>},
            {"release-during-close-box", WithPlugin<ReleaseDuringTheCloseBox>}};
}

int ExitWithWindowsOpen(const std::string& DllPath) {
    TPlugin Plugin;
    if (!Plugin.Load(DllPath)) return 100;
    const HWND Form = Plugin.Show(Host);
    const HWND D = OpenMultipliers(Form);
    if (!D) return 101;
    MoveWindow(Form, 150, 120, 400, 230, TRUE);
    MoveWindow(D, 600, 100, 340, 190, TRUE);
    SendMessageA(VersionedChild(D, "Button", "14"), BM_CLICK, 0, 0);
    Pump(200);
    // No _Release, no FreeLibrary: the process just ends.
    return 0;
}

std::string PluginVersionText(const std::string& DllPath) {
    const std::vector<char> Block = VersionBlock(DllPath);
    if (Block.empty()) return "(no version resource)";
    return VersionString(Block, "ProductName") + " " + VersionString(Block, "FileVersion");
}
