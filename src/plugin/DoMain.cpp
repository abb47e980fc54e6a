#include "DoMain.h"

#include "MainForm/MainForm.h"
#include "engine/HostRecords.h"

#include <memory>

namespace brevlund::DoMain {

void GetInfo(unsigned char* Info) {
    WritePluginInfo(Info);
}

std::uint32_t Run(TFormPlatform& Platform, std::uint32_t /*Value: the host's, unused*/,
                  const void* Context) {
    if (!fmMainForm) fmMainForm = std::make_unique<TfmMainForm>(Platform, Context).release();
    TfmMainForm* Form = fmMainForm;
    // Taken first: the first showing pumps messages, and a release dispatched
    // there may end the window before Show returns.
    const std::uint32_t Handle = Form->Handle();
    Form->Show();
    return Handle;
}

std::int32_t AddQSO(const void* Context) {
    CopyInContext(Context);
    if (!fmMainForm) return 0;
    const std::int32_t Result = fmMainForm->ScoreQSO(true);
    if (Result >= 0) fmMainForm->SortWorkedQSOs();
    fmMainForm->PrintSummary();
    return Result;
}

std::int32_t GetScore(const void* Context) {
    CopyInContext(Context);
    return fmMainForm ? fmMainForm->ScoreQSO(false) : 0;
}

void GrabNumber(const void* Context, unsigned char* Number) {
    CopyInContext(Context);
    WriteNumber(Number, fmMainForm ? fmMainForm->GrabNumber() : std::string());
}

void Release() noexcept {
    try {
        if (!fmMainForm) return;
        fmMainForm->Release();
        fmMainForm = nullptr;
    } catch (...) {
        // The host asked us to go; a failure on the way has nobody to tell.
    }
}

void Unload() noexcept {
    try {
        TfmMainForm::DestroyAll();
    } catch (...) {
    }
    fmMainForm = nullptr;
}

void ProcessEnding() noexcept {
    TfmMainForm::SaveAllAtProcessEnd();
}

} // namespace brevlund::DoMain
