// What the plug-in's two windows share in handling their messages: a failure
// in a handler goes to the error box and the window goes on, and a release
// dispatched while one of the window's own handlers runs (the rescan pumps
// messages) waits until that handler is done.
#pragma once

#include "FormPlatform.h"

#include <functional>

namespace brevlund {

class TFormBase {
public:
    explicit TFormBase(TFormPlatform& APlatform) : Platform(APlatform) {}
    virtual ~TFormBase() = default;
    TFormBase(const TFormBase&) = delete;
    TFormBase& operator=(const TFormBase&) = delete;

    // Runs one message's handler. The window may be gone when this returns.
    void Dispatch(const std::function<void()>& Handler);
    // Called by the platform when the window's release request is dispatched.
    static void ReleaseNow(TFormBase* Form);

protected:
    void ShowError(const std::string& Message) { Platform.ShowError(ErrorBoxText(Message)); }

    TFormPlatform& Platform;

private:
    int HandlerDepth = 0;
    bool ReleaseRequested = false;
};

} // namespace brevlund
