// What the plug-in's two windows share in handling their messages: a failure
// in a handler goes to the error box and the window goes on, and a release
// dispatched while one of the window's own handlers runs (the rescan and the
// error box pump messages) waits until that handler is done.
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

    // True while a handler of this window runs, or of a window it owns, which
    // goes with it.
    virtual bool Busy() const { return HandlerDepth > 0; }
    // Carries out a release that waited for the handlers: deletes this window
    // when one was requested and nothing is busy any more.
    void FinishPendingRelease();

protected:
    // The last running handler of this window has returned. May delete this.
    virtual void HandlersDone() { FinishPendingRelease(); }
    // Called first by the destructors: an error box shown while the window goes
    // runs messages, and none of them may start a handler or a second deletion.
    void BeginDestruction() { Destroying = true; }

    void ShowError(const std::string& Message) { Platform.ShowError(ErrorBoxText(Message)); }

    TFormPlatform& Platform;

private:
    int HandlerDepth = 0;
    bool ReleaseRequested = false;
    bool Destroying = false;
};

} // namespace brevlund
