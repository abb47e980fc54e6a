// The area list checker against the engine's own reading of the same text:
// every area that counts stands on a line with no finding, every entry line
// with no finding counts, and findings carry lines of the input.
#include "LogFuzzCheck.h"

#include "engine/AreaList.h"
#include "engine/Text.h"
#include "logformats/AreaCheck.h"

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

using namespace brevlund;
using namespace brevlund::logformats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    TAreaCheck Check;
    try {
        Check = CheckAreaList(Text);
    } catch (...) {
        FUZZ_CHECK(!"checking threw");
    }
    const std::vector<std::string> Lines = SplitLines(Text); // as the plug-in reads them
    const std::size_t LineCount = fuzz::LinesOf(Text).size();
    // A NUL is reported last, on the line where the text ends for the plug-in.
    const bool HasNul = Text.find('\0') != std::string_view::npos;
    if (HasNul) {
        FUZZ_CHECK(!Check.Findings.empty() &&
                   Check.Findings.back().Message.rfind("a NUL byte", 0) == 0);
    }
    std::size_t Last = 0;
    std::set<std::size_t> Flagged;
    for (std::size_t I = 0; I < Check.Findings.size(); ++I) {
        const TLogProblem& F = Check.Findings[I];
        FUZZ_CHECK(F.Line >= 1 && F.Line <= std::max<std::size_t>(LineCount, 1));
        FUZZ_CHECK(F.Line >= Last && !F.Message.empty());
        Last = F.Line;
        if (!(HasNul && I + 1 == Check.Findings.size())) Flagged.insert(F.Line);
    }

    TAreaList List;
    List.SetLines(Lines);
    FUZZ_CHECK(std::is_sorted(Check.Counting.begin(), Check.Counting.end()));
    for (const std::string& Area : Check.Counting) {
        FUZZ_CHECK(List.CountsAsArea(Area));
        bool Clean = false;
        for (std::size_t I = 0; I < Lines.size() && !Clean; ++I) {
            const std::size_t Equals = Lines[I].find('=');
            Clean = Equals != std::string::npos && Lines[I].substr(Equals + 1) == Area &&
                    Flagged.count(I + 1) == 0;
        }
        FUZZ_CHECK(Clean);
    }
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        const std::string_view Line = Lines[I];
        const std::string_view Trimmed = Trim(Line);
        const std::size_t Equals = Line.find('=');
        if (Flagged.count(I + 1) || Equals == std::string_view::npos || Trimmed[0] == ';' ||
            Trimmed[0] == '#')
            continue;
        const std::string Value(Line.substr(Equals + 1));
        FUZZ_CHECK(std::binary_search(Check.Counting.begin(), Check.Counting.end(), Value));
    }
    const TAreaCheck Again = CheckAreaList(Text);
    FUZZ_CHECK(Again.Counting == Check.Counting && Again.Findings.size() == Check.Findings.size());
    return 0;
}
