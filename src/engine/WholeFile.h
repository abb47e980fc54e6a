// Reading a whole file as bytes, for the area list and the file store.
#pragma once

#include <string>

namespace brevlund {

enum class TFileRead {
    Read,      // Text holds every byte of the file
    NotOpened, // the file could not be opened; errno says why
    Failed,    // it opened but could not be read to its end (a directory, say)
};

// Text is replaced only when the whole file was read.
TFileRead ReadWholeFile(const std::string& Path, std::string& Text);

} // namespace brevlund
