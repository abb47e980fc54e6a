// A logging program in miniature, for checking BrevlundDXContest.dll as a host
// sees it: it loads the DLL from its Plugins folder, resolves the six exports by
// ordinal, calls them in the host's register convention with real 5916-byte
// records, runs a message loop, and reads back what a user would see.
//
//   TestHost.exe checks           run every check; prints "N passed, M failed"
//   TestHost.exe demo LOG [SECS]  feed LOG's QSOs through _AddQSO, print the
//                                 summary the window shows, keep the window up
//                                 for SECS seconds (for a screenshot)
//
// Runs under Wine in the tests. Message boxes are answered by a second thread,
// which records their titles and texts.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

namespace {

// The host's records, as the plug-in's boundary fixes them.
constexpr std::size_t ContextSize = 5916;
constexpr std::size_t OffLogConnection = 0, OffLogTable = 12, OffCallSign = 268, OffDigiBand = 540,
                      OffQSOMode = 796, OffExchange = 1308, OffCaptionTitle = 3868;

struct TContext {
    unsigned char Bytes[ContextSize];
    TContext() { std::memset(Bytes, 0, sizeof Bytes); }
    void Store(std::size_t Offset, const std::string& Text) {
        Bytes[Offset] = static_cast<unsigned char>(Text.size());
        std::memcpy(Bytes + Offset + 1, Text.data(), Text.size());
    }
    void SetConnection(std::uint32_t Value) { std::memcpy(Bytes + OffLogConnection, &Value, 4); }
    TContext& Qso(const std::string& Call, const std::string& Band, const std::string& Mode,
                  const std::string& Exchange = "") {
        Store(OffCallSign, Call);
        Store(OffDigiBand, Band);
        Store(OffQSOMode, Mode);
        Store(OffExchange, Exchange);
        return *this;
    }
};

#define REGPARM __attribute__((regparm(3)))
using TGrabNumber = void(REGPARM*)(void* Context, void* Number);
using TRelease = void(REGPARM*)();
using TGetScore = std::int32_t(REGPARM*)(void* Context);
using TAddQSO = std::int32_t(REGPARM*)(void* Context);
using TRun = std::uint32_t(REGPARM*)(std::uint32_t Value, void* Context);
using TGetInfo = void(REGPARM*)(void* Info);

struct TPlugin {
    HMODULE Module = nullptr;
    TGrabNumber GrabNumber = nullptr;
    TRelease Release = nullptr;
    TGetScore GetScore = nullptr;
    TAddQSO AddQSO = nullptr;
    TRun Run = nullptr;
    TGetInfo GetInfo = nullptr;

    bool Load(const std::string& Path) {
        Module = LoadLibraryA(Path.c_str());
        if (!Module) return false;
        const auto Ordinal = [this](int N) {
            return reinterpret_cast<void*>(GetProcAddress(Module, MAKEINTRESOURCEA(N)));
        };
        GrabNumber = reinterpret_cast<TGrabNumber>(Ordinal(1));
        Release = reinterpret_cast<TRelease>(Ordinal(2));
        GetScore = reinterpret_cast<TGetScore>(Ordinal(3));
        AddQSO = reinterpret_cast<TAddQSO>(Ordinal(4));
        Run = reinterpret_cast<TRun>(Ordinal(5));
        GetInfo = reinterpret_cast<TGetInfo>(Ordinal(6));
        return GrabNumber && Release && GetScore && AddQSO && Run && GetInfo;
    }
    void Unload() {
        if (Module) FreeLibrary(Module);
        Module = nullptr;
    }
};

// ---- What the user sees ---------------------------------------------------

std::string Text(HWND Window) {
    char Buffer[8192];
    const int Length = static_cast<int>(
        SendMessageA(Window, WM_GETTEXT, sizeof Buffer, reinterpret_cast<LPARAM>(Buffer)));
    return std::string(Buffer, static_cast<std::size_t>(Length));
}

HWND Child(HWND Parent, const char* Class, const char* Caption = nullptr) {
    HWND Found = FindWindowExA(Parent, nullptr, Class, Caption);
    if (Found) return Found;
    for (HWND C = GetWindow(Parent, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
        if ((Found = Child(C, Class, Caption))) return Found;
    return nullptr;
}

HWND SummaryBox(HWND Form) {
    return Child(Form, "Edit");
}

void Pump(DWORD Milliseconds) {
    const DWORD Until = GetTickCount() + Milliseconds;
    do {
        MSG Message;
        while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&Message);
            DispatchMessageA(&Message);
        }
        Sleep(10);
    } while (static_cast<int>(Until - GetTickCount()) > 0);
}

// ---- Message boxes: answered by a thread of their own --------------------

struct TBox {
    std::string Title, Text;
};
std::mutex BoxLock;
std::vector<TBox> Boxes;
std::atomic<bool> Answering{true};

BOOL CALLBACK AnswerBox(HWND Window, LPARAM) {
    DWORD Process = 0;
    GetWindowThreadProcessId(Window, &Process);
    char Class[32];
    if (Process != GetCurrentProcessId() || !IsWindowVisible(Window) ||
        !GetClassNameA(Window, Class, sizeof Class) || std::strcmp(Class, "#32770") != 0)
        return TRUE;
    TBox Box;
    Box.Title = Text(Window);
    if (HWND Static = GetDlgItem(Window, 0xFFFF)) Box.Text = Text(Static);
    {
        std::lock_guard<std::mutex> Guard(BoxLock);
        Boxes.push_back(Box);
    }
    PostMessageA(Window, WM_COMMAND, IDOK, 0);
    Sleep(200); // let the box go before it is seen again
    return TRUE;
}

DWORD WINAPI BoxAnswerer(LPVOID) {
    while (Answering) {
        EnumWindows(AnswerBox, 0);
        Sleep(50);
    }
    return 0;
}

std::vector<TBox> TakeBoxes() {
    std::lock_guard<std::mutex> Guard(BoxLock);
    std::vector<TBox> Taken;
    Taken.swap(Boxes);
    return Taken;
}

// ---- Structured exceptions from the plug-in ------------------------------

constexpr DWORD PluginFailure = 0xE0425844;
DWORD LastExceptionCode = 0;
std::string LastExceptionText;

LONG CALLBACK CatchPluginFailure(EXCEPTION_POINTERS* Info) {
    const EXCEPTION_RECORD& Record = *Info->ExceptionRecord;
    if (Record.ExceptionCode != PluginFailure) return EXCEPTION_CONTINUE_SEARCH;
    LastExceptionCode = Record.ExceptionCode;
    if (Record.NumberParameters >= 1)
        LastExceptionText = reinterpret_cast<const char*>(Record.ExceptionInformation[0]);
    return EXCEPTION_CONTINUE_EXECUTION; // the export then returns to us
}

// A host hook that refuses the creation of the plug-in's window.
LRESULT CALLBACK RefuseWindows(int Code, WPARAM W, LPARAM L) {
    if (Code == HCBT_CREATEWND) return 1;
    return CallNextHookEx(nullptr, Code, W, L);
}

// ---- Checks -----------------------------------------------------------------

int Passed = 0, Failed = 0;

void Check(bool Ok, const std::string& Name, const std::string& Detail = "") {
    if (Ok) {
        ++Passed;
        std::printf("ok - %s\n", Name.c_str());
    } else {
        ++Failed;
        std::printf("not ok - %s%s%s\n", Name.c_str(), Detail.empty() ? "" : ": ", Detail.c_str());
    }
    std::fflush(stdout);
}

template <typename T> void CheckEqual(const T& Actual, const T& Expected, const std::string& Name) {
    Check(Actual == Expected, Name);
}
void CheckEqual(const std::string& Actual, const std::string& Expected, const std::string& Name) {
    Check(Actual == Expected, Name, "got \"" + Actual + "\", expected \"" + Expected + "\"");
}

std::string Folder() {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string S(Path);
    return S.substr(0, S.find_last_of("\\/") + 1);
}

const std::string Header = "Band\t  QSOs\tPoints\t   OBL\t\r\n";

TContext HostContext(std::uint32_t Connection) {
    TContext C;
    C.SetConnection(Connection);
    C.Store(OffLogTable, "Log");
    C.Store(OffCaptionTitle, "SM5X");
    return C;
}

void CheckGetInfo(TPlugin& P, const std::string& When) {
    unsigned char Info[600];
    std::memset(Info, 0xAB, sizeof Info);
    P.GetInfo(Info);
    unsigned char Expected[600];
    std::memset(Expected, 0xAB, sizeof Expected);
    Expected[0] = 19;
    std::memcpy(Expected + 1, "Brevlund DX Contest", 19);
    const std::uint32_t One = 1;
    std::memcpy(Expected + 256, &One, 4);
    Expected[260] = 14;
    std::memcpy(Expected + 261, "qx7kbn_contest", 14);
    std::memcpy(Expected + 516, &One, 4);
    Check(std::memcmp(Info, Expected, sizeof Info) == 0,
          "_GetInfo writes exactly its 43 bytes " + When);
}

int RunChecks() {
    TPlugin P;
    const std::string Dll = Folder() + "Plugins\\BrevlundDXContest.dll";
    Check(P.Load(Dll), "the DLL loads and has the six exports by ordinal", Dll);
    if (!P.Module) return 1;

    CheckGetInfo(P, "before _Run");

    // No window yet.
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

    // _Run with no connection: the first showing's rescan fails in a box.
    TContext Host = HostContext(0);
    const HWND Form = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(P.Run(0, Host.Bytes)));
    Check(IsWindow(Form) != FALSE, "_Run returns the statistics window's handle");
    Pump(300);
    std::vector<TBox> Shown = TakeBoxes();
    Check(Shown.size() == 1 && Shown[0].Text == "Missing Connection or ConnectionString." &&
              Shown[0].Title == "TestHost",
          "no connection: an error box under the application's title",
          Shown.empty() ? "no box" : Shown[0].Title + ": " + Shown[0].Text);
    char Class[64] = "";
    GetClassNameA(Form, Class, sizeof Class);
    CheckEqual(std::string(Class), std::string("TfmMainForm"), "window class");
    CheckEqual(Text(Form), std::string("SM5X in Brevlund DX Contest"), "caption");
    const LONG Style = GetWindowLongA(Form, GWL_STYLE), ExStyle = GetWindowLongA(Form, GWL_EXSTYLE);
    Check(IsWindowVisible(Form) && (ExStyle & WS_EX_TOPMOST) && (Style & WS_MINIMIZEBOX) &&
              !(Style & WS_MAXIMIZEBOX) && (Style & WS_SYSMENU),
          "visible, stays on top, system menu and minimise only");
    HWND Recalc = Child(Form, "Button", "Recalc Statistic");
    HWND Multipliers = Child(Form, "Button", "Multipliers");
    Check(Recalc && Multipliers && IsWindowEnabled(Recalc),
          "the two buttons, Recalc enabled again");
    CheckEqual(Text(SummaryBox(Form)), std::string(),
               "the summary stays empty after a failed rescan");

    // Scoring through the exports.
    CheckEqual(P.GetScore(Qso.Bytes), 1, "_GetScore of a new QSO on 14");
    CheckEqual(P.AddQSO(Qso.Bytes), 1, "_AddQSO records it");
    const std::string One =
        Header +
        "  14\t     1\t     1\t     0\t\r\nTotal\t     1\t     1\t     0\t\r\n Score: 1*0=0";
    CheckEqual(Text(SummaryBox(Form)), One, "summary after one QSO (no area list entry AB)");
    CheckEqual(P.AddQSO(Qso.Bytes), -1, "_AddQSO of a duplicate");
    CheckEqual(P.GetScore(Qso.Bytes), -1, "_GetScore of a duplicate");
    CheckEqual(Text(SummaryBox(Form)), One, "summary unchanged by the duplicate");
    TContext Second = HostContext(0);
    Second.Qso("OH2B", "7", "CW", "59 an");
    CheckEqual(P.AddQSO(Second.Bytes), 2, "_AddQSO on 7 with an area");
    Second.Qso("DL1C", "10", "SSB", "59 BO");
    CheckEqual(P.AddQSO(Second.Bytes), 0, "_AddQSO on 10 scores 0");
    CheckEqual(P.AddQSO(Second.Bytes), -1, "and its repeat is a duplicate");
    CheckEqual(Text(SummaryBox(Form)),
               Header +
                   "  14\t     1\t     1\t     0\t\r\n   7\t     1\t     2\t     1\t\r\n  10\t     "
                   "1\t     0\t     1\t\r\nTotal\t     3\t     3\t     2\t\r\n Score: 3*2=6",
               "summary after three bands");

    TContext Another = HostContext(0);
    Another.Store(OffCaptionTitle, "OTHER");
    Check(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(P.Run(0, Another.Bytes))) == Form,
          "a second _Run returns the same window");
    CheckEqual(Text(Form), std::string("SM5X in Brevlund DX Contest"), "and keeps its caption");
    Check(TakeBoxes().empty(), "and does not rescan");
    CheckGetInfo(P, "with a window");

    // The user's close command minimises.
    SendMessageA(Form, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(100);
    Check(IsWindow(Form) && IsIconic(Form), "the close command minimises the window");
    Second.Qso("G3D", "21", "CW");
    CheckEqual(P.AddQSO(Second.Bytes), 1, "a minimised window keeps scoring");

    // The Recalc button rescans: the same failure, and the button comes back.
    SendMessageA(Recalc, BM_CLICK, 0, 0);
    Pump(300);
    Shown = TakeBoxes();
    Check(Shown.size() == 1 && Shown[0].Text == "Missing Connection or ConnectionString.",
          "Recalc Statistic shows the rescan's failure");
    Check(IsWindowEnabled(Recalc) != FALSE, "Recalc Statistic enabled again");
    CheckEqual(Text(SummaryBox(Form)), std::string(), "the failed rescan emptied the summary");

    // _Release queues the release; the message loop carries it out.
    P.Release();
    CheckEqual(P.AddQSO(Second.Bytes), 0, "_AddQSO answers 0 right after _Release");
    Check(IsWindow(Form) != FALSE, "the window waits for the message loop");
    Pump(200);
    Check(!IsWindow(Form), "and is gone once the loop dispatched the release");

    // A new window after the release; then a close message sent straight to it.
    const HWND Form2 = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(P.Run(0, Host.Bytes)));
    Pump(300);
    TakeBoxes();
    Check(IsWindow(Form2) && Form2 != Form, "_Run after _Release builds a new window");
    SendMessageA(Form2, WM_CLOSE, 0, 0);
    Pump(200);
    Check(!IsWindow(Form2), "a close message ends the window");
    CheckEqual(P.AddQSO(Qso.Bytes), 0, "then _AddQSO answers 0 until the next _Run");

    // A connection value that is no ADO connection must not take the host down.
    std::vector<unsigned char> NotAConnection(64, 0);
    TContext Bad = HostContext(
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(NotAConnection.data())));
    const HWND Form3 = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(P.Run(0, Bad.Bytes)));
    Pump(300);
    Shown = TakeBoxes();
    Check(IsWindow(Form3) && Shown.size() == 1 &&
              Shown[0].Text ==
                  "LogQuery: the host's log connection is not an ADO connection object.",
          "a connection value that is no ADO connection fails the rescan in a box",
          Shown.empty() ? "no box" : Shown[0].Text);
    P.Release();
    Pump(200);

    // A failure in _Run reaches the host as a structured exception.
    PVOID Handler = AddVectoredExceptionHandler(1, CatchPluginFailure);
    HHOOK Hook = SetWindowsHookExA(WH_CBT, RefuseWindows, nullptr, GetCurrentThreadId());
    const std::uint32_t Refused = P.Run(0, Host.Bytes);
    UnhookWindowsHookEx(Hook);
    RemoveVectoredExceptionHandler(Handler);
    Check(LastExceptionCode == PluginFailure && Refused == 0 &&
              LastExceptionText == "Cannot create the statistics window",
          "a failed _Run raises a structured exception with the message", LastExceptionText);
    CheckEqual(P.AddQSO(Qso.Bytes), 0, "and leaves no window behind");

    // Unloading with a live window destroys it before its code goes.
    const HWND Form4 = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(P.Run(0, Host.Bytes)));
    Pump(300);
    TakeBoxes();
    P.Unload();
    Check(!IsWindow(Form4), "FreeLibrary destroys a live window");
    Pump(100);
    Check(P.Load(Dll), "the DLL loads again");
    const HWND Form5 = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(P.Run(0, Host.Bytes)));
    Pump(300);
    TakeBoxes();
    Check(IsWindow(Form5) != FALSE, "and builds its window again");
    P.Release();
    Pump(200);
    P.Unload();

    std::printf("%d passed, %d failed\n", Passed, Failed);
    return Failed == 0 ? 0 : 1;
}

// Feeds a log of "CallSign;DigiBand;QSOMode;QSOReportRecived" lines through
// _AddQSO and prints what the statistics window shows.
int RunDemo(const char* LogPath, int Seconds) {
    TPlugin P;
    if (!P.Load(Folder() + "Plugins\\BrevlundDXContest.dll")) {
        std::fprintf(stderr, "TestHost: cannot load the plug-in\n");
        return 1;
    }
    TContext Host = HostContext(0);
    Host.Store(OffCaptionTitle, "Demo");
    const HWND Form = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(P.Run(0, Host.Bytes)));
    Pump(300);
    TakeBoxes(); // the demo has no log database: the first rescan's box is expected
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
                    Result < 0 ? "duplicate" : (std::to_string(Result) + " points").c_str());
    }
    std::printf("\n[%s]\n%s\n", Text(Form).c_str(), Text(SummaryBox(Form)).c_str());
    std::fflush(stdout);
    Pump(static_cast<DWORD>(Seconds) * 1000);
    P.Release();
    Pump(200);
    P.Unload();
    return 0;
}

} // namespace

int main(int Argc, char** Argv) {
    CreateThread(nullptr, 0, BoxAnswerer, nullptr, 0, nullptr);
    int Result = 2;
    if (Argc >= 2 && std::strcmp(Argv[1], "checks") == 0)
        Result = RunChecks();
    else if (Argc >= 3 && std::strcmp(Argv[1], "demo") == 0)
        Result = RunDemo(Argv[2], Argc >= 4 ? std::atoi(Argv[3]) : 0);
    else
        std::fprintf(stderr, "usage: TestHost checks | TestHost demo LOG [SECONDS]\n");
    Answering = false;
    return Result;
}
