// What the host executable's full path names: the host's name (the registry
// key and the error box's title) and the area list file beside it.
#pragma once

#include <string>
#include <string_view>

namespace brevlund {

// The executable's file name without its folder (up to the last "\", "/" or
// ":") and without its extension (from the last "." of the name on, so a name
// that is all extension, ".exe", leaves nothing).
std::string HostNameFromPath(std::string_view HostExePath);

// The folder of the host executable, up to and including its last "\" or ":"
// (and "/" off Windows), followed by Plugins and the file name.
std::string AreaListPath(std::string_view HostExePath);

} // namespace brevlund
