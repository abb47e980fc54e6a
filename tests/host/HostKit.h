// A logging program in miniature, shared by the Windows checks programs
// (TestHost, AdoChecks, AdoRescanChecks): the host's records, the plug-in
// loaded as a host loads it, the one reporter of checks and the scenarios it
// runs each in a fresh process, a message loop, a look at the windows a user
// sees and a second thread that answers message boxes.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace brevlund::host {

// ---- The host's records, as the plug-in's boundary fixes them ----------------

constexpr std::size_t ContextSize = 5916;
constexpr std::size_t OffLogConnection = 0, OffLogTable = 12, OffCallSign = 268, OffDigiBand = 540,
                      OffQSOMode = 796, OffContinent = 1052, OffExchange = 1308,
                      OffCaptionTitle = 3868;

// One record of short strings (a length byte, then up to 255 characters).
struct TContext {
    unsigned char Bytes[ContextSize] = {};

    // Longer texts are cut to 255 characters, as the host's fields hold them.
    void Store(std::size_t Offset, const std::string& Text);
    std::string Read(std::size_t Offset) const;
    void SetConnection(std::uint32_t Value);
    TContext& Qso(const std::string& Call, const std::string& Band, const std::string& Mode,
                  const std::string& Exchange = "");
};

// The record a host hands to _Run: its connection, its log table, its title.
TContext HostContext(std::uint32_t Connection = 0, const std::string& Table = "Log",
                     const std::string& CaptionTitle = "SM5X");

// ---- The plug-in, as a host calls it -----------------------------------------

// The host's register convention; a 64-bit build, which runs where 32-bit code
// cannot, has only the platform's own.
#if defined(__i386__)
#define HOSTKIT_REGPARM __attribute__((regparm(3)))
#else
#define HOSTKIT_REGPARM
#endif
using TGrabNumber = void(HOSTKIT_REGPARM*)(void* Context, void* Number);
using TRelease = void(HOSTKIT_REGPARM*)();
using TGetScore = std::int32_t(HOSTKIT_REGPARM*)(void* Context);
using TAddQSO = std::int32_t(HOSTKIT_REGPARM*)(void* Context);
using TRun = std::uint32_t(HOSTKIT_REGPARM*)(std::uint32_t Value, void* Context);
using TGetInfo = void(HOSTKIT_REGPARM*)(void* Info);

// The six exports, resolved by ordinal as the host does, never by name.
struct TPlugin {
    HMODULE Module = nullptr;
    TGrabNumber GrabNumber = nullptr;
    TRelease Release = nullptr;
    TGetScore GetScore = nullptr;
    TAddQSO AddQSO = nullptr;
    TRun Run = nullptr;
    TGetInfo GetInfo = nullptr;

    // True when the DLL loaded and has all six.
    bool Load(const std::string& Path);
    void Unload();
    // _Run: the statistics window's handle travels in the 32-bit result.
    HWND RunWindow(TContext& Host) const;
    // _Run, then the message loop for a while: the first showing and its
    // rescan are done when it returns.
    HWND Show(TContext& Host, DWORD Milliseconds = 300) const;
    // _Release, then the message loop, which carries the release out.
    void ReleaseWindows(DWORD Milliseconds = 300) const;
};

// Loads the plug-in from the Plugins folder; a DLL that does not load is a
// failed check.
bool LoadPlugin(TPlugin& Plugin);

// A scenario's body run with the plug-in loaded, and unloaded after.
template <void (*Body)(TPlugin&)> void WithPlugin() {
    TPlugin Plugin;
    if (!LoadPlugin(Plugin)) return;
    Body(Plugin);
    Plugin.Unload();
}

// The window handle a 32-bit result carries.
HWND WindowOf(std::uint32_t Value);

// The folder of this program, with its final backslash, and the plug-in in
// its Plugins folder, where the host keeps it.
std::string Folder();
std::string PluginPath();

// Runs this program once more with Argument, as a second host process (a
// restart, an end without _Release), and answers its exit code: 999 when it
// could not start, STILL_ACTIVE when it had not ended within a minute.
DWORD RunThisProgram(const std::string& Argument);

// ---- Checks -------------------------------------------------------------------

// "ok - Name", or "not ok - Name: Detail"; counted for Finish.
void Check(bool Ok, const std::string& Name, const std::string& Detail = "");
// The same, but "ok - Name: Shown" too, where what was seen is worth reading
// in a passing run.
void CheckShowing(bool Ok, const std::string& Name, const std::string& Shown);
template <typename T> void CheckEqual(const T& Actual, const T& Expected, const std::string& Name) {
    Check(Actual == Expected, Name);
}
void CheckEqual(const std::string& Actual, const std::string& Expected, const std::string& Name);

// Prints "N passed, M failed" and answers the exit code.
int Finish();

// ---- Scenarios ------------------------------------------------------------------

// An independent group of checks: it sets up all it needs, from a fresh
// process and an empty host key.
struct TScenario {
    const char* Name;
    void (*Run)();
};

// The checks programs' command line:
//   PROGRAM checks [NAME...]   every scenario (or those named), each in a fresh
//                              process of this program, so that a failure, a
//                              crash or a hang ends only its own scenario; the
//                              checks' lines as they come, then "N passed, M
//                              failed" over all of them
//   PROGRAM scenario NAME      one scenario, in this process
// Answers the exit code, or -1 for any other command.
int RunScenarios(int Argc, char** Argv, const std::vector<TScenario>& Scenarios);

// ---- Failures the plug-in raises to the host ----------------------------------

constexpr DWORD PluginFailure = 0xE0425844;

// Every failure the plug-in raises is caught and execution continues, so that
// the export returns to the checks. One no check expects is a failed check.
void CatchPluginFailures();
extern bool ExpectingFailure;
extern DWORD LastExceptionCode;
extern std::string LastExceptionText;

// ---- What the user sees ---------------------------------------------------------

// A message loop for Milliseconds: the plug-in's posted work happens here.
void Pump(DWORD Milliseconds);
std::string Text(HWND Window);
std::string ClassOf(HWND Window);
// The first descendant of Parent of exactly this class and, when given, caption.
HWND Child(HWND Parent, const char* Class, const char* Caption = nullptr);
// The same, but the class name need only end with Class: common controls 6
// name their classes with a version in front.
HWND VersionedChild(HWND Parent, const char* Class, const char* Caption = nullptr);
// Clicks "Multipliers" on the statistics window: the multipliers window.
HWND OpenMultipliers(HWND Form);

// ---- Message boxes: answered by a thread of their own ---------------------------

struct TBox {
    std::string Title, Text;
};

// While true, the answerer leaves message boxes up, so that a check can act
// while one is showing.
extern std::atomic<bool> HoldMessageBoxes;

// The answerer presses OK on every box of this process and keeps its texts;
// starting it twice starts one.
void StartAnsweringBoxes();
void StopAnsweringBoxes();
std::vector<TBox> TakeBoxes();
std::vector<std::string> TakeBoxTexts();
// The texts joined by " | ", or "no box".
std::string Joined(const std::vector<std::string>& Texts);
// The text of the first box, or "no box".
std::string FirstText(const std::vector<TBox>& Boxes);
// Whether one of this process's message boxes is showing.
bool MessageBoxUp();

// ---- The host's registry key ------------------------------------------------------

// This program's key, "Software\\" and its name, as the plug-in names it.
extern const std::string HostKey;
void EmptyHostKey();
// A string value of a section of the host key: "(no section)", "(none)" when
// the value is missing, "?" when it is no string.
std::string HostValue(const std::string& Section, const std::string& Name);
void WriteHostValue(const std::string& Section, const std::string& Name, const std::string& Text);
void WriteHostNumber(const std::string& Section, const std::string& Name, DWORD Number);

} // namespace brevlund::host
