// What the fuzz targets share: an invariant that aborts when broken, so that
// libFuzzer keeps the input that broke it, and a scratch folder for targets
// that go through real files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#define FUZZ_CHECK(Condition)                                                                      \
    do {                                                                                           \
        if (!(Condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #Condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

namespace brevlund::fuzz {

// One folder per fuzzing process, in memory where the system offers it (every
// input goes through files), removed when the process ends normally. The path
// outlives every static destructor, as the removal runs after them.
inline const std::string& ScratchDir() {
    static const std::string* const Path = [] {
        std::string Pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        Pattern += "/brevlund-fuzz-XXXXXX";
        if (!mkdtemp(Pattern.data())) std::abort();
        auto* Made = new std::string(Pattern);
        std::atexit([] { std::system(("rm -rf '" + ScratchDir() + "'").c_str()); });
        return Made;
    }();
    return *Path;
}

inline std::string WriteScratchFile(const std::string& Name, std::string_view Content) {
    const std::string File = ScratchDir() + "/" + Name;
    std::ofstream(File, std::ios::binary | std::ios::trunc)
        .write(Content.data(), static_cast<std::streamsize>(Content.size()));
    return File;
}

} // namespace brevlund::fuzz
