// The plug-in's own activation context, made from the manifest the DLL carries
// (resource type 24, ID 2). With it active, the windows and controls the
// plug-in creates are common controls 6 (themed buttons, a double-buffered
// list) whatever manifest the host has or lacks.
#pragma once

#include <windows.h>

namespace brevlund {

// Makes the context from Module's manifest at first use. Without a manifest
// (a program linking the windows directly) or when the system refuses it,
// there is no context, and the scopes below do nothing.
void UseActivationContextOf(HINSTANCE Module);
// Lets the context go; at FreeLibrary only.
void ReleaseActivationContext();
// Whether the plug-in has a context of its own.
bool HasActivationContext();

// Activates the plug-in's context for the life of the scope: around every
// entry point and every message its windows handle.
class TActivationScope {
public:
    TActivationScope();
    ~TActivationScope();
    TActivationScope(const TActivationScope&) = delete;
    TActivationScope& operator=(const TActivationScope&) = delete;

private:
    ULONG_PTR Cookie = 0;
    bool Activated = false;
};

} // namespace brevlund
