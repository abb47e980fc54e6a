#include "Store.h"

#include <stdexcept>

namespace brevlund {

std::string HostNameFromPath(std::string_view HostExePath) {
    const std::size_t Mark = HostExePath.find_last_of("\\/:");
    std::string_view Name =
        Mark == std::string_view::npos ? HostExePath : HostExePath.substr(Mark + 1);
    const std::size_t Dot = Name.rfind('.');
    if (Dot != std::string_view::npos) Name = Name.substr(0, Dot);
    return std::string(Name);
}

std::string HostKeyPath(std::string_view HostExePath) {
    std::string Path = "Software\\" + HostNameFromPath(HostExePath);
    if (Path.back() == '\\') throw std::runtime_error(FailedToCreateKeyText(Path));
    return Path;
}

std::string InvalidDataTypeText(const std::string& Name) {
    return "Invalid data type for '" + Name + "'";
}

std::string FailedToSetDataText(const std::string& Name) {
    return "Failed to set data for '" + Name + "'";
}

std::string FailedToCreateKeyText(const std::string& Path) {
    return "Failed to create key '" + Path + "'";
}

} // namespace brevlund
