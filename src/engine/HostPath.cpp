#include "HostPath.h"

namespace brevlund {

namespace {
#ifdef _WIN32
constexpr std::string_view FolderMarks = "\\:";
constexpr std::string_view FileInFolder = "Plugins\\brevlund.dom";
#else
constexpr std::string_view FolderMarks = "\\:/";
constexpr std::string_view FileInFolder = "Plugins/brevlund.dom";
#endif
} // namespace

std::string HostNameFromPath(std::string_view HostExePath) {
    const std::size_t Mark = HostExePath.find_last_of("\\/:");
    std::string_view Name =
        Mark == std::string_view::npos ? HostExePath : HostExePath.substr(Mark + 1);
    const std::size_t Dot = Name.rfind('.');
    if (Dot != std::string_view::npos) Name = Name.substr(0, Dot);
    return std::string(Name);
}

std::string AreaListPath(std::string_view HostExePath) {
    const std::size_t Mark = HostExePath.find_last_of(FolderMarks);
    std::string Path(Mark == std::string_view::npos ? std::string_view{}
                                                    : HostExePath.substr(0, Mark + 1));
    Path += FileInFolder;
    return Path;
}

} // namespace brevlund
