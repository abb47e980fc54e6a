#include "Store.h"

#include <stdexcept>

namespace brevlund {

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
