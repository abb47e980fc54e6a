// The six exports of BrevlundDXContest.dll, in the host's register convention
// (arguments in EAX, EDX, ECX; result in EAX), and the library's load and unload.
//
// No C++ exception leaves an export. _Release swallows every failure; the other
// entry points hand a failure to the host as a Windows structured exception
// with the code below and the message as its one argument, so that the host's
// own exception handling sees it.
#include "DoMain.h"

#include "platform/win32/ActivationContext_win.h"
#include "platform/win32/AdoLogQuery_win.h"
#include "platform/win32/Win32Platform_win.h"

#include <windows.h>

#include <cstring>
#include <exception>
#include <memory>

#if defined(__i386__)
#define BREVLUND_EXPORT extern "C" __attribute__((regparm(3)))
#else // the 64-bit build for the Wine checks has one calling convention only
#define BREVLUND_EXPORT extern "C"
#endif

namespace {

// "Brevlund plug-in failure": customer bit set, severity error.
constexpr DWORD PluginFailure = 0xE0425844;

HINSTANCE Module = nullptr;
// Kept past the unwinding of the export, for the host to read.
char FailureText[1024];

brevlund::TWin32Platform& Platform() {
    static brevlund::TWin32Platform Instance(Module);
    return Instance;
}

void RememberFailure(const char* Text) {
    std::strncpy(FailureText, Text, sizeof FailureText - 1);
    FailureText[sizeof FailureText - 1] = '\0';
}

// Runs Work; a failure becomes a structured exception once nothing of C++ is
// left alive in this frame. A host that continues after it gets Fallback.
template <typename Result, typename Work> Result Guarded(Work&& Action, Result Fallback) {
    try {
        // The windows made or reached from here use the plug-in's common controls.
        const brevlund::TActivationScope Scope;
        return Action();
    } catch (const std::exception& Error) {
        RememberFailure(Error.what());
    } catch (...) {
        RememberFailure("Unexpected failure in the plug-in");
    }
    const ULONG_PTR Arguments[1] = {reinterpret_cast<ULONG_PTR>(FailureText)};
    RaiseException(PluginFailure, 0, 1, Arguments);
    return Fallback;
}

} // namespace

using namespace brevlund;

BREVLUND_EXPORT void BrevlundGrabNumber(const void* Context, unsigned char* Number) {
    Guarded(
        [&] {
            DoMain::GrabNumber(Context, Number);
            return 0;
        },
        0);
}

BREVLUND_EXPORT void BrevlundRelease() {
    const TActivationScope Scope;
    DoMain::Release();
}

BREVLUND_EXPORT std::int32_t BrevlundGetScore(const void* Context) {
    return Guarded([&] { return DoMain::GetScore(Context); }, 0);
}

BREVLUND_EXPORT std::int32_t BrevlundAddQSO(const void* Context) {
    return Guarded([&] { return DoMain::AddQSO(Context); }, 0);
}

BREVLUND_EXPORT std::uint32_t BrevlundRun(std::uint32_t Value, const void* Context) {
    return Guarded(
        [&] {
            // The first call makes the platform and with it the activation
            // context, after Guarded's scope found none to activate: the
            // windows made now need it active.
            TWin32Platform& Windows = Platform();
            const TActivationScope Scope;
            return DoMain::Run(Windows, Value, Context);
        },
        std::uint32_t{0});
}

BREVLUND_EXPORT void BrevlundGetInfo(unsigned char* Info) {
    Guarded(
        [&] {
            DoMain::GetInfo(Info);
            return 0;
        },
        0);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID Reserved) {
    if (Reason == DLL_PROCESS_ATTACH) Module = Instance;
    if (Reason != DLL_PROCESS_DETACH) return TRUE;
    if (Reserved == nullptr) {
        // FreeLibrary: the windows go now, before their window procedure does.
        NoteLibraryUnloading();
        DoMain::Unload();
        UnregisterWindowClasses(Instance);
        ReleaseActivationContext();
    } else {
        // The process ends (a host that never called _Release): the windows
        // are the system's to end, and other threads are gone or frozen. The
        // storages save from the live windows and from memory; nothing is
        // destroyed, loaded or waited for.
        DoMain::ProcessEnding();
    }
    return TRUE;
}
