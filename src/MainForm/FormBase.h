// What the plug-in's two windows share: a failure in a handler goes to the
// error box and the window goes on; a release dispatched while one of the
// window's own handlers runs (the rescan and the error box pump messages) waits
// until that handler is done; and the placement storage with the ways a window
// closes (the close command, the logoff query, its destruction).
#pragma once

#include "FormPlatform.h"

#include "storage/FormStorage.h"

#include <functional>
#include <memory>
#include <string>

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

    // A close message sent straight to the window: the close query (the
    // storage saves when it passes), then FormClose.
    void Close();
    // The user logs off or the system shuts down: a close query that may still
    // be cancelled later, so the storage saves and nothing closes. True: the
    // window may close.
    bool QueryEndSession();
    virtual void FormClose() = 0;

    // Placement and stored values.
    TFormStorage& Storage() { return *FormStorage1; }

protected:
    // The last running handler of this window has returned. May delete this.
    virtual void HandlersDone() { FinishPendingRelease(); }
    // Called first by the destructors: an error box shown while the window goes
    // runs messages, and none of them may start a handler or a second deletion.
    void BeginDestruction() { Destroying = true; }
    // The save at destruction, while the native window still has its placement.
    void SaveAtDestruction() noexcept;

    void ShowError(const std::string& Message) { Platform.ShowError(ErrorBoxText(Message)); }

    // The storage of the window's class (its section in the store) over its
    // native window; failures go to the error box. Show runs once the storage
    // has restored the placement.
    void CreateStorage(const char* ClassName, TPlacedWindow& Window, std::function<void()> Show);

    TFormPlatform& Platform;
    std::unique_ptr<TFormStorage> FormStorage1;

private:
    int HandlerDepth = 0;
    bool ReleaseRequested = false;
    bool Destroying = false;
};

} // namespace brevlund
