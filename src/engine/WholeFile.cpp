#include "WholeFile.h"

#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace brevlund {

namespace {
struct FileCloser {
    void operator()(std::FILE* F) const { std::fclose(F); }
};
} // namespace

TFileRead ReadWholeFile(const std::string& Path, std::string& Text) {
    std::unique_ptr<std::FILE, FileCloser> File(std::fopen(Path.c_str(), "rb"));
    if (!File) return TFileRead::NotOpened;
    // The file's size where it can be told, read straight into the text, so
    // that a big log is neither copied again nor moved as the text grows;
    // then whatever more there is (a file that grew, or one of no known size).
    std::string Read;
    struct stat Info {};
    if (fstat(fileno(File.get()), &Info) == 0 && S_ISREG(Info.st_mode) && Info.st_size > 0) {
        Read.resize(static_cast<std::size_t>(Info.st_size));
        Read.resize(std::fread(Read.data(), 1, Read.size(), File.get()));
    }
    char Buffer[16384];
    for (std::size_t Got = sizeof Buffer; Got == sizeof Buffer;) {
        Got = std::fread(Buffer, 1, sizeof Buffer, File.get());
        Read.append(Buffer, Got);
    }
    // A directory opens on some systems and then fails on the first read.
    if (std::ferror(File.get())) return TFileRead::Failed;
    Text = std::move(Read);
    return TFileRead::Read;
}

} // namespace brevlund
