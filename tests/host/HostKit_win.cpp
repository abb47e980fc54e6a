#include "HostKit.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace brevlund::host {

// ---- The host's records ---------------------------------------------------------

void TContext::Store(std::size_t Offset, const std::string& Text) {
    const std::size_t N = std::min<std::size_t>(Text.size(), 255);
    Bytes[Offset] = static_cast<unsigned char>(N);
    std::memcpy(Bytes + Offset + 1, Text.data(), N);
}

std::string TContext::Read(std::size_t Offset) const {
    return std::string(reinterpret_cast<const char*>(Bytes) + Offset + 1, Bytes[Offset]);
}

void TContext::SetConnection(std::uint32_t Value) {
    std::memcpy(Bytes + OffLogConnection, &Value, 4);
}

TContext& TContext::Qso(const std::string& Call, const std::string& Band, const std::string& Mode,
                        const std::string& Exchange) {
    Store(OffCallSign, Call);
    Store(OffDigiBand, Band);
    Store(OffQSOMode, Mode);
    Store(OffExchange, Exchange);
    return *this;
}

TContext HostContext(std::uint32_t Connection, const std::string& Table,
                     const std::string& CaptionTitle) {
    TContext C;
    C.SetConnection(Connection);
    C.Store(OffLogTable, Table);
    C.Store(OffCaptionTitle, CaptionTitle);
    return C;
}

// ---- The plug-in -------------------------------------------------------------------

bool TPlugin::Load(const std::string& Path) {
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

void TPlugin::Unload() {
    if (Module) FreeLibrary(Module);
    *this = TPlugin{};
}

HWND TPlugin::RunWindow(TContext& Host) const {
    return WindowOf(Run(0, Host.Bytes));
}

HWND TPlugin::Show(TContext& Host, DWORD Milliseconds) const {
    const HWND Form = RunWindow(Host);
    Pump(Milliseconds);
    return Form;
}

void TPlugin::ReleaseWindows(DWORD Milliseconds) const {
    Release();
    Pump(Milliseconds);
}

bool LoadPlugin(TPlugin& Plugin) {
    if (Plugin.Load(PluginPath())) return true;
    Check(false, "the DLL loads", PluginPath());
    return false;
}

HWND WindowOf(std::uint32_t Value) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Value));
}

std::string Folder() {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    const std::string S(Path);
    return S.substr(0, S.find_last_of("\\/") + 1);
}

namespace {
std::string ProgramName() {
    char Path[MAX_PATH];
    GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Name(Path);
    Name.erase(0, Name.find_last_of("\\/") + 1);
    const std::size_t Dot = Name.rfind('.');
    if (Dot != std::string::npos && Dot > 0) Name.erase(Dot);
    return Name;
}
} // namespace

std::string PluginPath() {
    return Folder() + "Plugins\\BrevlundDXContest.dll";
}

DWORD RunThisProgram(const std::string& Argument) {
    char Exe[MAX_PATH];
    GetModuleFileNameA(nullptr, Exe, MAX_PATH);
    std::string Command = std::string("\"") + Exe + "\" " + Argument;
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Process{};
    DWORD ExitCode = 999;
    if (CreateProcessA(nullptr, Command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &Startup, &Process)) {
        // One that hangs is ended, so that nothing of a check outlives it.
        if (WaitForSingleObject(Process.hProcess, 60000) == WAIT_TIMEOUT)
            TerminateProcess(Process.hProcess, STILL_ACTIVE);
        GetExitCodeProcess(Process.hProcess, &ExitCode);
        CloseHandle(Process.hProcess);
        CloseHandle(Process.hThread);
    }
    return ExitCode;
}

// ---- Checks ---------------------------------------------------------------------------

namespace {
int Passed = 0, Failed = 0;
} // namespace

void Check(bool Ok, const std::string& Name, const std::string& Detail) {
    ++(Ok ? Passed : Failed);
    std::printf("%s - %s%s%s\n", Ok ? "ok" : "not ok", Name.c_str(),
                Ok || Detail.empty() ? "" : ": ", Ok ? "" : Detail.c_str());
    // Flushed at once: a check that hangs or crashes under Wine shows where.
    std::fflush(stdout);
}

void CheckShowing(bool Ok, const std::string& Name, const std::string& Shown) {
    Check(Ok, Shown.empty() || !Ok ? Name : Name + ": " + Shown, Shown);
}

void CheckEqual(const std::string& Actual, const std::string& Expected, const std::string& Name) {
    Check(Actual == Expected, Name, "got \"" + Actual + "\", expected \"" + Expected + "\"");
}

int Finish() {
    std::printf("%d passed, %d failed\n", Passed, Failed);
    std::fflush(stdout);
    return Failed == 0 ? 0 : 1;
}

// ---- Scenarios ----------------------------------------------------------------------

namespace {

// Ample for the slowest scenario under a loaded Wine; a hang ends here.
constexpr DWORD ScenarioLimit = 180000;
// Wine has been seen to stall a program now and then before its first line;
// a scenario that has said nothing by then is run once more. Longer than the
// minute a scenario may wait for a second host process before its first check.
constexpr DWORD SilenceLimit = 90000;

// A line of a scenario's process, passed on and counted.
void PassOn(const std::string& Line) {
    if (Line.rfind("ok - ", 0) == 0) ++Passed;
    if (Line.rfind("not ok - ", 0) == 0) ++Failed;
    std::printf("%s\n", Line.c_str());
    std::fflush(stdout);
}

enum class TEnd { Ended, Silent, TimedOut, NotStarted };

// Runs one scenario in a process of its own, its output through a pipe, and
// answers how it ended and its exit code.
TEnd RunApart(const TScenario& Scenario, DWORD& Code) {
    SECURITY_ATTRIBUTES Inherited{sizeof Inherited, nullptr, TRUE};
    HANDLE Read = nullptr, Write = nullptr;
    if (!CreatePipe(&Read, &Write, &Inherited, 0)) return TEnd::NotStarted;
    SetHandleInformation(Read, HANDLE_FLAG_INHERIT, 0);
    char Exe[MAX_PATH];
    GetModuleFileNameA(nullptr, Exe, MAX_PATH);
    std::string Command = std::string("\"") + Exe + "\" scenario " + Scenario.Name;
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    Startup.dwFlags = STARTF_USESTDHANDLES;
    Startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    Startup.hStdOutput = Write;
    Startup.hStdError = Write;
    // The scenario's process and whatever it starts live in a job, so that all
    // of them end with it: a second host process left hanging would keep the
    // output open after the checks.
    HANDLE Job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION Limits{};
    Limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (Job)
        SetInformationJobObject(Job, JobObjectExtendedLimitInformation, &Limits, sizeof Limits);
    PROCESS_INFORMATION Process{};
    const BOOL Started = CreateProcessA(nullptr, Command.data(), nullptr, nullptr, TRUE,
                                        CREATE_SUSPENDED, nullptr, nullptr, &Startup, &Process);
    CloseHandle(Write);
    if (!Started) {
        Code = GetLastError();
        CloseHandle(Read);
        if (Job) CloseHandle(Job);
        return TEnd::NotStarted;
    }
    if (Job) AssignProcessToJobObject(Job, Process.hProcess);
    ResumeThread(Process.hThread);
    std::string Pending;
    bool Said = false;
    const auto Drain = [&] {
        DWORD Available = 0;
        while (PeekNamedPipe(Read, nullptr, 0, nullptr, &Available, nullptr) && Available) {
            char Buffer[4096];
            DWORD Got = 0;
            if (!ReadFile(Read, Buffer, std::min<DWORD>(Available, sizeof Buffer), &Got, nullptr) ||
                Got == 0)
                break;
            Said = true;
            Pending.append(Buffer, Got);
            for (std::size_t End; (End = Pending.find('\n')) != std::string::npos;) {
                std::string Line = Pending.substr(0, End);
                Pending.erase(0, End + 1);
                if (!Line.empty() && Line.back() == '\r') Line.pop_back();
                PassOn(Line);
            }
        }
    };
    const DWORD Start = GetTickCount();
    TEnd End = TEnd::Ended;
    while (WaitForSingleObject(Process.hProcess, 20) == WAIT_TIMEOUT) {
        Drain();
        const DWORD Spent = GetTickCount() - Start;
        if (Spent > ScenarioLimit || (!Said && Spent > SilenceLimit)) {
            TerminateProcess(Process.hProcess, 124);
            WaitForSingleObject(Process.hProcess, 10000);
            End = Said ? TEnd::TimedOut : TEnd::Silent;
            break;
        }
    }
    Drain();
    if (!Pending.empty()) PassOn(Pending);
    GetExitCodeProcess(Process.hProcess, &Code);
    CloseHandle(Process.hProcess);
    CloseHandle(Process.hThread);
    if (Job) CloseHandle(Job);
    CloseHandle(Read);
    return End;
}

// One scenario, reported: its own checks, and one failed check more when its
// process could not start, hung, crashed or made no check.
void Report(const TScenario& Scenario) {
    std::printf("# %s\n", Scenario.Name);
    std::fflush(stdout);
    const std::string What = std::string("scenario ") + Scenario.Name;
    const int FailedBefore = Failed, CountedBefore = Passed + Failed;
    DWORD Code = 0;
    TEnd End = RunApart(Scenario, Code);
    if (End == TEnd::Silent) {
        std::printf("# %s printed nothing within %lu s; once more\n", Scenario.Name,
                    static_cast<unsigned long>(SilenceLimit / 1000));
        End = RunApart(Scenario, Code);
    }
    char Exit[40];
    std::snprintf(Exit, sizeof Exit, "0x%08lX", static_cast<unsigned long>(Code));
    if (End == TEnd::NotStarted)
        Check(false, What + " starts", "error " + std::to_string(Code));
    else if (End != TEnd::Ended)
        Check(false, What + " ends",
              "still running after " +
                  std::to_string(End == TEnd::Silent ? SilenceLimit / 1000 : ScenarioLimit / 1000) +
                  " s; ended");
    // 1 is the scenario's own "a check failed"; any other code is its end
    // going wrong.
    else if (Code == 1 ? Failed == FailedBefore : Code != 0)
        Check(false, What + " ends", std::string("exit code ") + Exit);
    else if (Passed + Failed == CountedBefore)
        Check(false, What + " makes its checks", "it made none");
}

} // namespace

int RunScenarios(int Argc, char** Argv, const std::vector<TScenario>& Scenarios) {
    if (Argc >= 3 && std::strcmp(Argv[1], "scenario") == 0) {
        for (const TScenario& Scenario : Scenarios)
            if (std::strcmp(Scenario.Name, Argv[2]) == 0) {
                EmptyHostKey();
                CatchPluginFailures();
                StartAnsweringBoxes();
                Scenario.Run();
                StopAnsweringBoxes();
                return Failed == 0 ? 0 : 1;
            }
        std::fprintf(stderr, "no scenario %s\n", Argv[2]);
        return 2;
    }
    if (Argc < 2 || std::strcmp(Argv[1], "checks") != 0) return -1;
    for (int I = 2; I < Argc; ++I) {
        bool Known = false;
        for (const TScenario& Scenario : Scenarios)
            Known = Known || std::strcmp(Scenario.Name, Argv[I]) == 0;
        if (!Known) Check(false, std::string("scenario ") + Argv[I] + " exists");
    }
    for (const TScenario& Scenario : Scenarios) {
        bool Chosen = Argc == 2;
        for (int I = 2; I < Argc; ++I)
            Chosen = Chosen || std::strcmp(Scenario.Name, Argv[I]) == 0;
        if (Chosen) Report(Scenario);
    }
    EmptyHostKey();
    return Finish();
}

// ---- Failures the plug-in raises ------------------------------------------------------

bool ExpectingFailure = false;
DWORD LastExceptionCode = 0;
std::string LastExceptionText;

namespace {
LONG CALLBACK CatchPluginFailure(EXCEPTION_POINTERS* Info) {
    const EXCEPTION_RECORD& Record = *Info->ExceptionRecord;
    if (Record.ExceptionCode != PluginFailure) return EXCEPTION_CONTINUE_SEARCH;
    LastExceptionCode = Record.ExceptionCode;
    if (Record.NumberParameters >= 1)
        LastExceptionText = reinterpret_cast<const char*>(Record.ExceptionInformation[0]);
    if (!ExpectingFailure) Check(false, "the plug-in raised a failure", LastExceptionText);
    return EXCEPTION_CONTINUE_EXECUTION; // the export then returns to us
}
} // namespace

void CatchPluginFailures() {
    AddVectoredExceptionHandler(1, CatchPluginFailure);
}

// ---- What the user sees -----------------------------------------------------------------

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

std::string Text(HWND Window) {
    // Sized by the window: summaries of long logs run past any fixed buffer.
    std::vector<char> Buffer(
        static_cast<std::size_t>(SendMessageA(Window, WM_GETTEXTLENGTH, 0, 0)) + 1);
    const int Length = static_cast<int>(
        SendMessageA(Window, WM_GETTEXT, Buffer.size(), reinterpret_cast<LPARAM>(Buffer.data())));
    return std::string(Buffer.data(), static_cast<std::size_t>(Length));
}

std::string ClassOf(HWND Window) {
    char Name[64] = "";
    GetClassNameA(Window, Name, sizeof Name);
    return Name;
}

HWND Child(HWND Parent, const char* Class, const char* Caption) {
    HWND Found = FindWindowExA(Parent, nullptr, Class, Caption);
    if (Found) return Found;
    for (HWND C = GetWindow(Parent, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT))
        if ((Found = Child(C, Class, Caption))) return Found;
    return nullptr;
}

HWND VersionedChild(HWND Parent, const char* Class, const char* Caption) {
    for (HWND C = GetWindow(Parent, GW_CHILD); C; C = GetWindow(C, GW_HWNDNEXT)) {
        const std::string Name = ClassOf(C);
        const std::size_t Length = std::strlen(Class);
        char Shown[128] = "";
        GetWindowTextA(C, Shown, sizeof Shown);
        if (Name.size() >= Length && _stricmp(Name.c_str() + Name.size() - Length, Class) == 0 &&
            (!Caption || std::strcmp(Shown, Caption) == 0))
            return C;
        if (HWND Found = VersionedChild(C, Class, Caption)) return Found;
    }
    return nullptr;
}

HWND OpenMultipliers(HWND Form) {
    SendMessageA(VersionedChild(Form, "Button", "Multipliers"), BM_CLICK, 0, 0);
    Pump(200);
    return FindWindowA("TfmDomList", nullptr);
}

// ---- Message boxes ------------------------------------------------------------------------

std::atomic<bool> HoldMessageBoxes{false};

namespace {

std::mutex BoxLock;
std::vector<TBox> Boxes;
std::atomic<bool> Answering{false};
HANDLE Answerer = nullptr;

bool IsOurBox(HWND Window) {
    DWORD Process = 0;
    GetWindowThreadProcessId(Window, &Process);
    return Process == GetCurrentProcessId() && IsWindowVisible(Window) &&
           ClassOf(Window) == "#32770";
}

BOOL CALLBACK AnswerBox(HWND Window, LPARAM) {
    if (HoldMessageBoxes) return FALSE;
    if (!IsOurBox(Window)) return TRUE;
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

DWORD WINAPI AnswerBoxes(LPVOID) {
    while (Answering) {
        EnumWindows(AnswerBox, 0);
        Sleep(50);
    }
    return 0;
}

BOOL CALLBACK FindBox(HWND Window, LPARAM Found) {
    if (IsOurBox(Window)) *reinterpret_cast<bool*>(Found) = true;
    return TRUE;
}

} // namespace

void StartAnsweringBoxes() {
    if (Answering.exchange(true)) return;
    Answerer = CreateThread(nullptr, 0, AnswerBoxes, nullptr, 0, nullptr);
}

void StopAnsweringBoxes() {
    Answering = false;
    // Joined, not left running: a process that ends while the thread is inside
    // EnumWindows can hang Wine in the plug-in's save at process detach.
    if (Answerer) {
        WaitForSingleObject(Answerer, 10000);
        CloseHandle(Answerer);
    }
    Answerer = nullptr;
}

std::vector<TBox> TakeBoxes() {
    std::lock_guard<std::mutex> Guard(BoxLock);
    std::vector<TBox> Taken;
    Taken.swap(Boxes);
    return Taken;
}

std::vector<std::string> TakeBoxTexts() {
    std::vector<std::string> Texts;
    for (const TBox& Box : TakeBoxes())
        Texts.push_back(Box.Text);
    return Texts;
}

std::string Joined(const std::vector<std::string>& Texts) {
    std::string All;
    for (const std::string& T : Texts)
        All += (All.empty() ? "" : " | ") + T;
    return All.empty() ? "no box" : All;
}

std::string FirstText(const std::vector<TBox>& Boxes) {
    return Boxes.empty() ? "no box" : Boxes[0].Text;
}

bool MessageBoxUp() {
    bool Found = false;
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&Found));
    return Found;
}

// ---- The host's registry key --------------------------------------------------------------

const std::string HostKey = "Software\\" + ProgramName();

void EmptyHostKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, HostKey.c_str());
}

std::string HostValue(const std::string& Section, const std::string& Name) {
    HKEY Key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, (HostKey + "\\" + Section).c_str(), 0, KEY_READ, &Key) !=
        ERROR_SUCCESS)
        return "(no section)";
    char Data[1024];
    DWORD Size = sizeof Data - 1, Type = 0;
    const LONG Result =
        RegQueryValueExA(Key, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Data), &Size);
    RegCloseKey(Key);
    if (Result != ERROR_SUCCESS) return "(none)";
    if (Type != REG_SZ) return "?";
    Data[Size] = 0;
    return Data;
}

void WriteHostValue(const std::string& Section, const std::string& Name, const std::string& Text) {
    HKEY Key;
    RegCreateKeyExA(HKEY_CURRENT_USER, (HostKey + "\\" + Section).c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &Key, nullptr);
    RegSetValueExA(Key, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Text.c_str()),
                   static_cast<DWORD>(Text.size() + 1));
    RegCloseKey(Key);
}

void WriteHostNumber(const std::string& Section, const std::string& Name, DWORD Number) {
    HKEY Key;
    RegCreateKeyExA(HKEY_CURRENT_USER, (HostKey + "\\" + Section).c_str(), 0, nullptr, 0, KEY_WRITE,
                    nullptr, &Key, nullptr);
    RegSetValueExA(Key, Name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Number),
                   sizeof Number);
    RegCloseKey(Key);
}

} // namespace brevlund::host
