#include "FormBase.h"

#include <exception>

namespace brevlund {

std::string ErrorBoxText(std::string Message) {
    if (!Message.empty() && static_cast<unsigned char>(Message.back()) > '.') Message += '.';
    return Message;
}

std::string ApplicationTitle(const std::string& HostExePath) {
    const std::size_t Folder = HostExePath.find_last_of("\\/:");
    std::string Name = HostExePath.substr(Folder == std::string::npos ? 0 : Folder + 1);
    const std::size_t Dot = Name.rfind('.');
    if (Dot != std::string::npos && Dot > 0) Name.erase(Dot);
    return Name;
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

} // namespace brevlund
