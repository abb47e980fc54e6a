// Small helpers shared by the test suites: QSOs into a context, a text box, a
// scratch folder.
#pragma once

#include "engine/HostRecords.h"
#include "engine/Summary.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace brevlund::test {

inline void SetQso(QsoContext& Context, std::string_view Call, std::string_view Band,
                   std::string_view Mode, std::string_view Exchange = {}) {
    Context.CallSign.Store(Call);
    Context.DigiBand.Store(Band);
    Context.QSOMode.Store(Mode);
    Context.QSOReportRecived.Store(Exchange);
}

class TStringBox final : public TTextBox {
public:
    void SetText(const std::string& Text) override { Value = Text; }
    std::string GetText() const override { return Value; }

private:
    std::string Value;
};

// A fresh folder under /tmp, removed with everything in it at the end.
class TTempDir {
public:
    TTempDir() {
        char Pattern[] = "/tmp/brevlund-test-XXXXXX";
        Path = mkdtemp(Pattern);
    }
    ~TTempDir() { std::system(("rm -rf '" + Path + "'").c_str()); }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string Write(const std::string& Name, std::string_view Content) const {
        const std::string File = Path + "/" + Name;
        std::ofstream(File, std::ios::binary).write(Content.data(), Content.size());
        return File;
    }

    std::string Path;
};

} // namespace brevlund::test
