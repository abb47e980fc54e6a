#include "WholeFile.h"

#include <cstdio>
#include <memory>

namespace brevlund {

namespace {
struct FileCloser {
    void operator()(std::FILE* F) const { std::fclose(F); }
};
} // namespace

TFileRead ReadWholeFile(const std::string& Path, std::string& Text) {
    std::unique_ptr<std::FILE, FileCloser> File(std::fopen(Path.c_str(), "rb"));
    if (!File) return TFileRead::NotOpened;
    std::string Read;
    char Buffer[16384];
    for (;;) {
        const std::size_t Got = std::fread(Buffer, 1, sizeof Buffer, File.get());
        Read.append(Buffer, Got);
        if (Got < sizeof Buffer) break;
    }
    // A directory opens on some systems and then fails on the first read.
    if (std::ferror(File.get())) return TFileRead::Failed;
    Text = std::move(Read);
    return TFileRead::Read;
}

} // namespace brevlund
