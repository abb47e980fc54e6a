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
    ++HandlerDepth;
    try {
        Handler();
    } catch (const std::exception& Error) {
        ShowError(Error.what());
    } catch (...) {
        ShowError("Unexpected failure");
    }
    if (--HandlerDepth == 0 && ReleaseRequested) delete this;
}

void TFormBase::ReleaseNow(TFormBase* Form) {
    if (Form->HandlerDepth > 0)
        Form->ReleaseRequested = true;
    else
        delete Form;
}

} // namespace brevlund
