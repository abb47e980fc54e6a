#include "FormBase.h"

#include <exception>

namespace brevlund {

std::string ErrorBoxText(std::string Message) {
    if (!Message.empty() && static_cast<unsigned char>(Message.back()) > '.') Message += '.';
    return Message;
}

void TFormBase::Dispatch(const std::function<void()>& Handler) {
    if (Destroying) return;
    ++HandlerDepth;
    try {
        Handler();
    } catch (const std::exception& Error) {
        ShowError(Error.what());
    } catch (...) {
        ShowError("Unexpected failure");
    }
    if (--HandlerDepth == 0) HandlersDone();
}

void TFormBase::ReleaseNow(TFormBase* Form) {
    if (Form->Destroying) return;
    if (Form->Busy())
        Form->ReleaseRequested = true;
    else
        delete Form;
}

void TFormBase::FinishPendingRelease() {
    if (ReleaseRequested && !Destroying && !Busy()) delete this;
}

void TFormBase::CreateStorage(const char* ClassName, TPlacedWindow& Window,
                              std::function<void()> Show) {
    FormStorage1 =
        std::make_unique<TFormStorage>(ClassName, Platform.Store(), Window, Platform.Screen());
    FormStorage1->ShowError = [this](const std::string& Message) { ShowError(Message); };
    // Restored while still hidden, the window appears where it was left.
    FormStorage1->WindowHandlers.Show = std::move(Show);
}

void TFormBase::Close() {
    bool CanClose = true;
    FormStorage1->OnCloseQuery(CanClose);
    if (CanClose) FormClose();
}

bool TFormBase::QueryEndSession() {
    bool CanClose = true;
    FormStorage1->OnCloseQuery(CanClose);
    return CanClose;
}

void TFormBase::SaveAtDestruction() noexcept {
    try {
        if (FormStorage1) FormStorage1->OnDestroy();
    } catch (...) {
        // A destructor cannot report; the storage has shown its own failures.
    }
}

} // namespace brevlund
