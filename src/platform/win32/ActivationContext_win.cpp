#include "ActivationContext_win.h"

namespace brevlund {

namespace {
HANDLE Context = INVALID_HANDLE_VALUE;
bool Tried = false;
} // namespace

void UseActivationContextOf(HINSTANCE Module) {
    if (Tried) return;
    Tried = true;
    char Path[MAX_PATH];
    const DWORD Length = GetModuleFileNameA(Module, Path, MAX_PATH);
    if (Length == 0 || Length >= MAX_PATH) return;
    ACTCTXA Description{};
    Description.cbSize = sizeof Description;
    Description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID | ACTCTX_FLAG_HMODULE_VALID;
    Description.lpSource = Path;
    Description.hModule = Module;
    Description.lpResourceName = MAKEINTRESOURCEA(2); // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
    Context = CreateActCtxA(&Description);
}

void ReleaseActivationContext() {
    if (Context != INVALID_HANDLE_VALUE) ReleaseActCtx(Context);
    Context = INVALID_HANDLE_VALUE;
    Tried = false;
}

bool HasActivationContext() {
    return Context != INVALID_HANDLE_VALUE;
}

TActivationScope::TActivationScope() {
    if (Context != INVALID_HANDLE_VALUE) Activated = ActivateActCtx(Context, &Cookie) != FALSE;
}

TActivationScope::~TActivationScope() {
    if (Activated) DeactivateActCtx(0, Cookie);
}

} // namespace brevlund
