// A logging program in miniature, for checking BrevlundDXContest.dll as a host
// sees it: it loads the DLL from its Plugins folder, resolves the six exports by
// ordinal, calls them in the host's register convention with real 5916-byte
// records, runs a message loop, and reads back what a user would see.
//
//   TestHost.exe checks [NAME...]  run every scenario (or those named), each in a
//                                  fresh process; prints "N passed, M failed";
//                                  a 32-bit build also calls each export from
//                                  an assembly thunk that checks the registers
//   TestHost.exe scenario NAME     run one scenario in this process
//   TestHost.exe demo LOG [SIGNAL] feed LOG's QSOs through _AddQSO, print the
//                                  summary the window shows; then make the file
//                                  SIGNAL once both windows are up and keep them
//                                  up until it is removed (for a screenshot)
//
// Runs under Wine in the tests. Message boxes are answered by a second thread,
// which records their titles and texts.
#include "HostKit.h"
#include "RegisterCall.h"
#include "WindowChecks.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace brevlund::host;

// ---- What the user sees ---------------------------------------------------

HWND SummaryBox(HWND Form) {
    return Child(Form, "Edit");
}

std::string Summary(HWND Form) {
    return Text(SummaryBox(Form));
}

// A host hook that refuses the creation of the plug-in's window.
LRESULT CALLBACK RefuseWindows(int Code, WPARAM W, LPARAM L) {
    if (Code == HCBT_CREATEWND) return 1;
    return CallNextHookEx(nullptr, Code, W, L);
}

// The string values of one section of the host key; empty when it is missing.
std::vector<std::pair<std::string, std::string>> Section(const std::string& Name) {
    std::vector<std::pair<std::string, std::string>> Values;
    HKEY Key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (HostKey + "\\" + Name).c_str(), 0, KEY_READ, &Key) !=
        ERROR_SUCCESS)
        return Values;
    for (DWORD I = 0;; ++I) {
        char ValueName[256];
        BYTE Data[1024];
        DWORD NameLength = sizeof ValueName, DataLength = sizeof Data - 1, Type = 0;
        if (RegEnumValueA(Key, I, ValueName, &NameLength, nullptr, &Type, Data, &DataLength) !=
            ERROR_SUCCESS)
            break;
        Data[DataLength] = 0;
        Values.emplace_back(ValueName, Type == REG_SZ ? reinterpret_cast<char*>(Data) : "?");
    }
    RegCloseKey(Key);
    return Values;
}

int SectionSize(const std::string& Name) {
    return static_cast<int>(Section(Name).size());
}

// ---- The multipliers window -----------------------------------------------

HWND DomList() {
    return FindWindowA("TfmDomList", nullptr);
}

int CountDomLists() {
    int Count = 0;
    for (HWND W = FindWindowExA(nullptr, nullptr, "TfmDomList", nullptr); W;
         W = FindWindowExA(nullptr, W, "TfmDomList", nullptr))
        Count += IsWindowVisible(W) ? 1 : 0;
    return Count;
}

HWND BandButton(HWND Window, const char* Caption) {
    return Child(Window, "Button", Caption);
}

const char* const Bands[] = {"1.8", "3.5", "7", "10", "14", "18", "21", "24", "28"};

// The caption of the band button that shows pressed, or "" when none does.
std::string PressedBand(HWND Window) {
    for (const char* Caption : Bands)
        if (HWND Button = BandButton(Window, Caption))
            if (SendMessageA(Button, BM_GETCHECK, 0, 0) == BST_CHECKED) return Caption;
    return "";
}

std::vector<std::string> ListItems(HWND Window) {
    HWND List = Child(Window, WC_LISTVIEWA);
    std::vector<std::string> Items;
    const int Count = static_cast<int>(SendMessageA(List, LVM_GETITEMCOUNT, 0, 0));
    for (int I = 0; I < Count; ++I) {
        char Text[64] = "";
        LVITEMA Item{};
        Item.iSubItem = 0;
        Item.pszText = Text;
        Item.cchTextMax = sizeof Text;
        SendMessageA(List, LVM_GETITEMTEXTA, I, reinterpret_cast<LPARAM>(&Item));
        Items.emplace_back(Text);
    }
    return Items;
}

// Pixels of pure blue (0, 0, 255) in the list as it draws itself now.
int BluePixels(HWND Window) {
    HWND List = Child(Window, WC_LISTVIEWA);
    RECT Box;
    GetClientRect(List, &Box);
    HDC Screen = GetDC(List);
    HDC Memory = CreateCompatibleDC(Screen);
    HBITMAP Bitmap = CreateCompatibleBitmap(Screen, Box.right, Box.bottom);
    HGDIOBJ Old = SelectObject(Memory, Bitmap);
    SendMessageA(List, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Memory),
                 PRF_CLIENT | PRF_ERASEBKGND);
    int Blue = 0;
    for (int Y = 0; Y < Box.bottom; ++Y)
        for (int X = 0; X < Box.right; ++X)
            Blue += GetPixel(Memory, X, Y) == RGB(0, 0, 255) ? 1 : 0;
    SelectObject(Memory, Old);
    DeleteObject(Bitmap);
    DeleteDC(Memory);
    ReleaseDC(List, Screen);
    return Blue;
}

// ---- Shared steps -----------------------------------------------------------

const std::string Header = "Band\t  QSOs\tPoints\t   OBL\t\r\n";

// A PluginInfo buffer of 600 bytes of 0xAB as _GetInfo must leave it.
std::vector<unsigned char> ExpectedInfo() {
    std::vector<unsigned char> Expected(600, 0xAB);
    Expected[0] = 19;
    std::memcpy(&Expected[1], "Brevlund DX Contest", 19);
    const std::uint32_t One = 1;
    std::memcpy(&Expected[256], &One, 4);
    Expected[260] = 14;
    std::memcpy(&Expected[261], "qx7kbn_contest", 14);
    std::memcpy(&Expected[516], &One, 4);
    return Expected;
}

void CheckGetInfo(TPlugin& P, const std::string& When) {
    std::vector<unsigned char> Info(600, 0xAB);
    P.GetInfo(Info.data());
    Check(Info == ExpectedInfo(), "_GetInfo writes exactly its 43 bytes " + When);
}

// The statistics window after its first showing; there is no log database
// here, so the first rescan's error box is expected and put aside.
HWND RunWindow(TPlugin& P, TContext& Host) {
    const HWND Form = P.Show(Host);
    TakeBoxes();
    return Form;
}

void Click(HWND Window, const char* Band) {
    SendMessageA(BandButton(Window, Band), BM_CLICK, 0, 0);
    Pump(100);
}

int AddQSO(TPlugin& P, TContext& Host, const char* Call, const char* Band, const char* Mode,
           const char* Exchange = "") {
    Host.Qso(Call, Band, Mode, Exchange);
    return P.AddQSO(Host.Bytes);
}

// ---- Scenarios ----------------------------------------------------------------

void Exports() {
    TPlugin P;
    Check(P.Load(PluginPath()), "the DLL loads and has the six exports by ordinal", PluginPath());
    if (!P.Module) return;
    CheckGetInfo(P, "before _Run");
    P.Unload();
}

// The multipliers window and the registry, in a store emptied first.
void MultipliersWindow(TPlugin& P) {
    TContext Host = HostContext(0);
    const HWND Form = RunWindow(P, Host);
    Check(Section("TfmMainForm").empty(), "first run: no section before the first save");

    const HWND D = OpenMultipliers(Form);
    Check(D && CountDomLists() == 1, "\"Multipliers\" opens the multipliers window");
    CheckEqual(D ? Text(D) : std::string(), std::string("Multipliers"), "its caption");
    Check(D && (GetWindowLongA(D, GWL_EXSTYLE) & WS_EX_TOPMOST) &&
              !(GetWindowLongA(D, GWL_STYLE) & WS_MAXIMIZEBOX),
          "it stays on top and has no maximise box");
    OpenMultipliers(Form);
    CheckEqual(CountDomLists(), 1, "a second click opens no second window");
    const std::vector<std::string> Areas = {"AN", "BO", "CE", "DA", "EL", "FI", "GR", "HA",
                                            "IS", "JO", "KA", "LU", "MA", "NO", "OS", "PE"};
    std::string Listed;
    for (const std::string& Item : ListItems(D))
        Listed += Item + " ";
    Check(ListItems(D) == Areas, "the areas of the area list, in caption order", Listed);
    CheckEqual(PressedBand(D), std::string("10"), "fresh store: \"10\" pressed as designed");

    TContext Qso = Host;
    AddQSO(P, Qso, "SM5A", "14", "CW", "599 AN");
    Pump(100);
    CheckEqual(PressedBand(D), std::string("14"), "a QSO on 14 switches the window to 14");
    Check(BluePixels(D) > 20, "the area counted on 14 is drawn blue");
    Click(D, "7");
    Check(PressedBand(D) == "7" &&
              SendMessageA(BandButton(D, "14"), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
          "clicking \"7\" presses it and releases the one pressed before");
    CheckEqual(BluePixels(D), 0, "nothing counted on 7: nothing blue");
    AddQSO(P, Qso, "OH2B", "10", "CW");
    Pump(100);
    CheckEqual(PressedBand(D), std::string("10"), "a QSO on 10 switches the window to 10");
    Click(D, "7");

    SendMessageA(D, WM_CLOSE, 0, 0);
    Pump(200);
    CheckEqual(CountDomLists(), 0, "the multipliers window closes");
    CheckEqual(SectionSize("TfmDomList"), 9, "its section holds its nine placement values");
    CheckEqual(HostValue("TfmDomList", "Visible"), std::string("0"), "saved on close: Visible 0");
    CheckEqual(HostValue("TfmDomList", "CurrentBand"), std::string("(none)"),
               "no CurrentBand in its own section");
    const HWND D2 = OpenMultipliers(Form);
    CheckEqual(D2 ? PressedBand(D2) : std::string(), std::string("7"),
               "reopened, it shows the band selected last");

    P.ReleaseWindows();
    Check(!IsWindow(Form) && CountDomLists() == 0, "_Release takes both windows");
    CheckEqual(SectionSize("TfmMainForm"), 10, "the statistics window's section: ten values");
    CheckEqual(HostValue("TfmMainForm", "CurrentBand"), std::string("3"), "CurrentBand 3 (\"7\")");
    CheckEqual(HostValue("TfmMainForm", "Visible"), std::string("1"),
               "saved while destroyed: Visible 1");
    CheckEqual(HostValue("TfmMainForm", "FormVersion"), std::string("0"), "FormVersion 0");
    CheckEqual(HostValue("TfmMainForm", "NormPos"),
               HostValue("TfmMainForm", "NormPos(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) +
                                            "x" + std::to_string(GetSystemMetrics(SM_CYSCREEN)) +
                                            ")"),
               "NormPos with and without the screen suffix");
    CheckEqual(HostValue("TfmDomList", "Visible"), std::string("1"),
               "the multipliers window saved as it went with its owner");

    // A restart: a second process finds the band saved last.
    CheckEqual(static_cast<int>(RunThisProgram("restart")), 3,
               "after a restart the multipliers window opens on 7");
}

// Stored values the user edited by hand.
void EditedValues(TPlugin& P) {
    TContext Host = HostContext(0);
    WriteHostValue("TfmMainForm", "CurrentBand", "x7");
    const HWND Form = RunWindow(P, Host);
    SendMessageA(Child(Form, "Button", "Multipliers"), BM_CLICK, 0, 0);
    Pump(300);
    std::vector<TBox> Shown = TakeBoxes();
    Check(Shown.size() == 1 && DomList() && PressedBand(DomList()) == "10",
          "a CurrentBand that is no number: an error box, no band selected, the window opens",
          FirstText(Shown));
    P.ReleaseWindows();
    EmptyHostKey();
    WriteHostNumber("TfmMainForm", "FormVersion", 0);
    P.Show(Host);
    Shown = TakeBoxes();
    Check(!Shown.empty() && Shown[0].Text == "Invalid data type for 'FormVersion'",
          "a value of the wrong type: its error box", FirstText(Shown));
    P.ReleaseWindows();
}

// The second process of the restart check: the band the multipliers window
// opens on, as its number (0 when none), for the exit code.
int RestartCheck() {
    TPlugin P;
    if (!P.Load(PluginPath())) return 100;
    TContext Host = HostContext(0);
    const HWND D = OpenMultipliers(RunWindow(P, Host));
    const std::string Band = D ? PressedBand(D) : "";
    int Number = 0;
    for (int I = 0; I < 9; ++I)
        if (Band == Bands[I]) Number = I + 1;
    P.ReleaseWindows();
    P.Unload();
    return Number;
}

// Each export called with its arguments in EAX, EDX and ECX from a thunk that
// marks EBX, ESI, EDI and EBP and watches ESP: what a host written in another
// language relies on, and what a change of the exports' declaration breaks.
// Only 32-bit builds have the convention.
void RegisterConvention(TPlugin& P) {
    std::vector<unsigned char> Decoy(8192, 0xCD);
    const std::vector<unsigned char> DecoyBefore = Decoy;
    const auto Call = [&](const char* Name, void* Target, std::uint32_t Eax, std::uint32_t Edx,
                          std::uint32_t Ecx) {
        TRegisterCall C;
        C.Target = Target;
        C.Eax = Eax;
        C.Edx = Edx;
        C.Ecx = Ecx;
        C.Decoy = Decoy.data();
        CallInRegisters(C);
        std::string Broken;
        if (!C.EbxKept) Broken += " EBX";
        if (!C.EsiKept) Broken += " ESI";
        if (!C.EdiKept) Broken += " EDI";
        if (!C.EbpKept) Broken += " EBP";
        if (C.StackMoved != 0) Broken += " ESP (moved by " + std::to_string(C.StackMoved) + ")";
        Check(Broken.empty(), std::string(Name) + " keeps EBX, ESI, EDI, EBP and ESP",
              "changed:" + Broken);
        Check(Decoy == DecoyBefore, std::string(Name) + " takes nothing from the stack");
        return C.Result;
    };
    const auto Address = [](const void* Pointer) {
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(Pointer));
    };
    const auto Code = [](auto Function) { return reinterpret_cast<void*>(Function); };

    std::vector<unsigned char> Info(600, 0xAB);
    Call("_GetInfo", Code(P.GetInfo), Address(Info.data()), 0x11111111, 0x22222222);
    Check(Info == ExpectedInfo(), "_GetInfo takes PluginInfo from EAX");

    TContext Host = HostContext(0);
    const std::uint32_t Window = Call("_Run", Code(P.Run), 0, Address(Host.Bytes), 0x33333333);
    Pump(300);
    TakeBoxes(); // no log database: the first rescan's box is expected
    Check(IsWindow(WindowOf(Window)) && WindowOf(Window) == FindWindowA("TfmMainForm", nullptr),
          "_Run takes the context from EDX and answers the window in EAX");

    TContext Qso = Host;
    Qso.Qso("SM5REG", "7", "CW", "599 AN");
    const auto Score = [&](const char* Name, void* Target, std::uint32_t Ecx) {
        return static_cast<std::int32_t>(Call(Name, Target, Address(Qso.Bytes), 0, Ecx));
    };
    CheckEqual(Score("_GetScore", Code(P.GetScore), 0x44444444), 2,
               "_GetScore takes the context from EAX and answers 2 in EAX");
    CheckEqual(Score("_AddQSO", Code(P.AddQSO), 0x55555555), 2, "_AddQSO answers 2 in EAX");
    CheckEqual(Score("_AddQSO again", Code(P.AddQSO), 0x55555555), -1,
               "_AddQSO answers -1 for the duplicate in EAX");

    unsigned char Number[16];
    std::memset(Number, 0x77, sizeof Number);
    Call("_GrabNumber", Code(P.GrabNumber), Address(Qso.Bytes), Address(Number), 0x66666666);
    Check(Number[0] == 0 && Number[1] == 0x77, "_GrabNumber takes the number buffer from EDX");

    Call("_Release", Code(P.Release), 0x77777777, 0x88888888, 0x99999999);
    Pump(300);
    Check(!IsWindow(WindowOf(Window)), "_Release from the thunk takes the window");
}

void WithoutAWindow(TPlugin& P) {
    TContext Qso = HostContext(0);
    Qso.Qso("SM5A", "14", "CW", "599 AB");
    Check(P.AddQSO(Qso.Bytes) == 0 && P.GetScore(Qso.Bytes) == 0,
          "_AddQSO and _GetScore answer 0 without a window");
    unsigned char Number[256];
    std::memset(Number, 0x77, sizeof Number);
    P.GrabNumber(Qso.Bytes, Number);
    Check(Number[0] == 0 && Number[1] == 0x77, "_GrabNumber writes one zero byte");
    P.Release();
    P.Release();
    Check(true, "_Release without a window does nothing");
}

// _Run with no connection: the first showing's rescan fails in a box.
void FirstShowing(TPlugin& P) {
    TContext Host = HostContext(0);
    const HWND Form = P.RunWindow(Host);
    Check(IsWindow(Form) != FALSE, "_Run returns the statistics window's handle");
    Pump(300);
    const std::vector<TBox> Shown = TakeBoxes();
    Check(Shown.size() == 1 && Shown[0].Text == "Missing Connection or ConnectionString." &&
              Shown[0].Title == "TestHost",
          "no connection: an error box under the application's title",
          Shown.empty() ? "no box" : Shown[0].Title + ": " + Shown[0].Text);
    CheckEqual(ClassOf(Form), std::string("TfmMainForm"), "window class");
    CheckEqual(Text(Form), std::string("SM5X in Brevlund DX Contest"), "caption");
    const LONG Style = GetWindowLongA(Form, GWL_STYLE), ExStyle = GetWindowLongA(Form, GWL_EXSTYLE);
    Check(IsWindowVisible(Form) && (ExStyle & WS_EX_TOPMOST) && (Style & WS_MINIMIZEBOX) &&
              !(Style & WS_MAXIMIZEBOX) && (Style & WS_SYSMENU),
          "visible, stays on top, system menu and minimise only");
    const HWND Recalc = Child(Form, "Button", "Recalc Statistic");
    Check(Recalc && Child(Form, "Button", "Multipliers") && IsWindowEnabled(Recalc),
          "the two buttons, Recalc enabled again");
    CheckEqual(Summary(Form), std::string(), "the summary stays empty after a failed rescan");
    P.ReleaseWindows();
}

void ScoringThroughTheExports(TPlugin& P) {
    TContext Host = HostContext(0);
    const HWND Form = RunWindow(P, Host);
    TContext Qso = HostContext(0);
    Qso.Qso("SM5A", "14", "CW", "599 AB");
    CheckEqual(P.GetScore(Qso.Bytes), 1, "_GetScore of a new QSO on 14");
    CheckEqual(P.AddQSO(Qso.Bytes), 1, "_AddQSO records it");
    const std::string One =
        Header +
        "  14\t     1\t     1\t     0\t\r\nTotal\t     1\t     1\t     0\t\r\n Score: 1*0=0";
    CheckEqual(Summary(Form), One, "summary after one QSO (no area list entry AB)");
    CheckEqual(P.AddQSO(Qso.Bytes), -1, "_AddQSO of a duplicate");
    CheckEqual(P.GetScore(Qso.Bytes), -1, "_GetScore of a duplicate");
    CheckEqual(Summary(Form), One, "summary unchanged by the duplicate");
    TContext Second = HostContext(0);
    CheckEqual(AddQSO(P, Second, "OH2B", "7", "CW", "59 an"), 2, "_AddQSO on 7 with an area");
    CheckEqual(AddQSO(P, Second, "DL1C", "10", "SSB", "59 BO"), 0, "_AddQSO on 10 scores 0");
    CheckEqual(P.AddQSO(Second.Bytes), -1, "and its repeat is a duplicate");
    CheckEqual(Summary(Form),
               Header +
                   "  14\t     1\t     1\t     0\t\r\n   7\t     1\t     2\t     1\t\r\n  10\t     "
                   "1\t     0\t     1\t\r\nTotal\t     3\t     3\t     2\t\r\n Score: 3*2=6",
               "summary after three bands");

    TContext Another = HostContext(0);
    Another.Store(OffCaptionTitle, "OTHER");
    Check(P.RunWindow(Another) == Form, "a second _Run returns the same window");
    CheckEqual(Text(Form), std::string("SM5X in Brevlund DX Contest"), "and keeps its caption");
    Check(TakeBoxes().empty(), "and does not rescan");
    CheckGetInfo(P, "with a window");
    P.ReleaseWindows();
}

// The user's close command minimises; the Recalc button rescans.
void CloseCommandAndRecalc(TPlugin& P) {
    TContext Host = HostContext(0);
    const HWND Form = RunWindow(P, Host);
    SendMessageA(Form, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(100);
    Check(IsWindow(Form) && IsIconic(Form), "the close command minimises the window");
    TContext Qso = HostContext(0);
    CheckEqual(AddQSO(P, Qso, "G3D", "21", "CW"), 1, "a minimised window keeps scoring");

    // The same failure as at the first showing, and the button comes back.
    const HWND Recalc = Child(Form, "Button", "Recalc Statistic");
    SendMessageA(Recalc, BM_CLICK, 0, 0);
    Pump(300);
    const std::vector<TBox> Shown = TakeBoxes();
    Check(Shown.size() == 1 && Shown[0].Text == "Missing Connection or ConnectionString.",
          "Recalc Statistic shows the rescan's failure");
    Check(IsWindowEnabled(Recalc) != FALSE, "Recalc Statistic enabled again");
    CheckEqual(Summary(Form), std::string(), "the failed rescan emptied the summary");
    P.ReleaseWindows();
}

// _Release queues the release; the message loop carries it out.
void ReleaseThroughTheLoop(TPlugin& P) {
    TContext Host = HostContext(0);
    const HWND Form = RunWindow(P, Host);
    TContext Qso = HostContext(0);
    Qso.Qso("G3D", "21", "CW");
    P.Release();
    CheckEqual(P.AddQSO(Qso.Bytes), 0, "_AddQSO answers 0 right after _Release");
    Check(IsWindow(Form) != FALSE, "the window waits for the message loop");
    Pump(200);
    Check(!IsWindow(Form), "and is gone once the loop dispatched the release");

    // A new window after the release; then a close message sent straight to it.
    const HWND Form2 = RunWindow(P, Host);
    Check(IsWindow(Form2) && Form2 != Form, "_Run after _Release builds a new window");
    SendMessageA(Form2, WM_CLOSE, 0, 0);
    Pump(200);
    Check(!IsWindow(Form2), "a close message ends the window");
    CheckEqual(P.AddQSO(Qso.Bytes), 0, "then _AddQSO answers 0 until the next _Run");
}

// A connection value that is no ADO connection must not take the host down.
void NotAConnection(TPlugin& P) {
    std::vector<unsigned char> Block(64, 0);
    TContext Bad =
        HostContext(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(Block.data())));
    const HWND Form = P.Show(Bad);
    const std::vector<TBox> Shown = TakeBoxes();
    Check(
        IsWindow(Form) && Shown.size() == 1 &&
            Shown[0].Text == "LogQuery: the host's log connection is not an ADO connection object.",
        "a connection value that is no ADO connection fails the rescan in a box", FirstText(Shown));
    P.ReleaseWindows(200);
}

// A failure in _Run reaches the host as a structured exception.
void FailedRun(TPlugin& P) {
    TContext Host = HostContext(0);
    HHOOK Hook = SetWindowsHookExA(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
    ExpectingFailure = true;
    const std::uint32_t Refused = P.Run(0, Host.Bytes);
    ExpectingFailure = false;
    UnhookWindowsHookEx(Hook);
    Check(LastExceptionCode == PluginFailure && Refused == 0 &&
              LastExceptionText == "Cannot create the statistics window",
          "a failed _Run raises a structured exception with the message", LastExceptionText);
    TContext Qso = HostContext(0);
    Qso.Qso("SM5A", "14", "CW", "599 AB");
    CheckEqual(P.AddQSO(Qso.Bytes), 0, "and leaves no window behind");
}

// Unloading with a live window destroys it before its code goes.
void UnloadWithAWindow(TPlugin& P) {
    TContext Host = HostContext(0);
    const HWND Form = RunWindow(P, Host);
    P.Unload();
    Check(!IsWindow(Form), "FreeLibrary destroys a live window");
    Pump(100);
    Check(P.Load(PluginPath()), "the DLL loads again");
    if (!P.Module) return;
    Check(IsWindow(RunWindow(P, Host)) != FALSE, "and builds its window again");
    P.ReleaseWindows(200);
}

std::vector<TScenario> Scenarios() {
    std::vector<TScenario> All = {{"exports", Exports}};
    if (RegisterCallAvailable)
        All.push_back({"register-convention", WithPlugin<RegisterConvention>});
    const std::vector<TScenario> More = {
        {"multipliers-window", WithPlugin<MultipliersWindow>},
        {"edited-values", WithPlugin<EditedValues>},
        {"without-a-window", WithPlugin<WithoutAWindow>},
        {"first-showing", WithPlugin<FirstShowing>},
        {"scoring", WithPlugin<ScoringThroughTheExports>},
        {"close-and-recalc", WithPlugin<CloseCommandAndRecalc>},
        {"release", WithPlugin<ReleaseThroughTheLoop>},
        {"not-a-connection", WithPlugin<NotAConnection>},
        {"failed-run", WithPlugin<FailedRun>},
        {"unload", WithPlugin<UnloadWithAWindow>},
    };
    All.insert(All.end(), More.begin(), More.end());
    for (const TScenario& Scenario : WindowScenarios())
        All.push_back(Scenario);
    return All;
}

// Feeds a log of "CallSign;DigiBand;QSOMode;QSOReportRecived" lines through
// _AddQSO and prints what the statistics window shows. With Signal, it then
// makes that file to say both windows are up, and keeps them so until the
// file is gone.
int RunDemo(const char* LogPath, const char* Signal) {
    TPlugin P;
    if (!P.Load(PluginPath())) {
        std::fprintf(stderr, "TestHost: cannot load the plug-in\n");
        return 1;
    }
    std::printf("%s\n\n", PluginVersionText(PluginPath()).c_str());
    TContext Host = HostContext(0);
    Host.Store(OffCaptionTitle, "Demo");
    const HWND Form = RunWindow(P, Host);
    // The multipliers window beside it follows the band of every QSO.
    const HWND D = OpenMultipliers(Form);
    MoveWindow(Form, 20, 20, 420, 260, TRUE);
    if (D) MoveWindow(D, 460, 20, 339, 182, TRUE);
    std::ifstream Log(LogPath);
    std::string Line;
    while (std::getline(Log, Line)) {
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (Line.empty() || Line[0] == '#') continue;
        std::vector<std::string> Fields(1);
        for (char C : Line) {
            if (C == ';')
                Fields.emplace_back();
            else
                Fields.back() += C;
        }
        Fields.resize(4);
        TContext Qso = Host;
        Qso.Qso(Fields[0], Fields[1], Fields[2], Fields[3]);
        const int Result = P.AddQSO(Qso.Bytes);
        std::printf("%s %s %s \"%s\": %s\n", Fields[0].c_str(), Fields[1].c_str(),
                    Fields[2].c_str(), Fields[3].c_str(),
                    Result < 0    ? "duplicate"
                    : Result == 1 ? "1 point"
                                  : (std::to_string(Result) + " points").c_str());
    }
    std::printf("\n[%s]\n%s\n", Text(Form).c_str(), Summary(Form).c_str());
    if (D) {
        std::printf("\n[%s] band %s pressed, areas:", Text(D).c_str(), PressedBand(D).c_str());
        for (const std::string& Area : ListItems(D))
            std::printf(" %s", Area.c_str());
        std::printf("\n");
    }
    std::fflush(stdout);
    if (Signal) {
        // Painted before the caller looks; held until it has looked (it
        // removes the file), or a minute at most.
        Pump(300);
        if (FILE* File = std::fopen(Signal, "w")) std::fclose(File);
        const DWORD Until = GetTickCount() + 60000;
        while (GetFileAttributesA(Signal) != INVALID_FILE_ATTRIBUTES &&
               static_cast<int>(Until - GetTickCount()) > 0)
            Pump(50);
    }
    std::fflush(stdout);
    P.ReleaseWindows(200);
    P.Unload();
    return 0;
}

} // namespace

int main(int Argc, char** Argv) {
    int Result = RunScenarios(Argc, Argv, Scenarios());
    if (Result < 0) StartAnsweringBoxes();
    if (Result >= 0) {
    } else if (Argc >= 2 && std::strcmp(Argv[1], "restart") == 0)
        Result = RestartCheck();
    else if (Argc >= 2 && std::strcmp(Argv[1], "exit-open") == 0)
        Result = ExitWithWindowsOpen(PluginPath());
    else if (Argc >= 3 && std::strcmp(Argv[1], "demo") == 0)
        Result = RunDemo(Argv[2], Argc >= 4 ? Argv[3] : nullptr);
    else {
        std::fprintf(stderr, "usage: TestHost checks [NAME...] | TestHost scenario NAME | "
                             "TestHost demo LOG [SIGNAL]\n");
        Result = 2;
    }
    StopAnsweringBoxes();
    return Result;
}
