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
    // The file's size where it can be told, read straight into the text, so
    // that a big log is neither copied again nor moved as the text grows;
    // then whatever more there is (a file that grew, or one of no known size).
    std::string Read;
    std::size_t Have = 0;
    if (std::fseek(File.get(), 0, SEEK_END) == 0) {
        const long Size = std::ftell(File.get());
        if (Size > 0) Read.resize(static_cast<std::size_t>(Size));
    }
    std::rewind(File.get());
    for (;;) {
        if (Have == Read.size()) Read.resize(Have + 65536);
        const std::size_t Got = std::fread(Read.data() + Have, 1, Read.size() - Have, File.get());
        Have += Got;
        if (Got == 0) break;
    }
    Read.resize(Have);
    // A directory opens on some systems and then fails on the first read.
    if (std::ferror(File.get())) return TFileRead::Failed;
    Text = std::move(Read);
    return TFileRead::Read;
}

} // namespace brevlund
