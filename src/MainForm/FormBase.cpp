#include "FormBase.h"

#include <exception>

namespace brevlund {

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
