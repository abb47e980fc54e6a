// The tool's scoring (worked list in log order with a hash index) against the
// plug-in's live path (_AddQSO: score, then sort the worked list) for any
// sequence of QSOs: the same points and duplicates after every QSO, the same
// summary and multiplier keys at the end, and each duplicate names the line
// that recorded its QSO.
#include "FuzzCheck.h"

#include "LogScore.h"

#include "engine/Summary.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <map>
#include <string>
#include <tuple>

using namespace brevlund;

namespace {

// Texts from a few that collide often (case, blanks, prefixes), or raw bytes.
std::string Text(FuzzedDataProvider& Input, std::initializer_list<const char*> Common) {
    const std::uint8_t Pick = Input.ConsumeIntegral<std::uint8_t>();
    if (Pick < 200) return Common.begin()[Pick % Common.size()];
    return Input.ConsumeRandomLengthString(300); // beyond the host's 255 characters too
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    FuzzedDataProvider Input(Data, Size);
    TAreaList Areas;
    Areas.SetLines({"AB=AB", "cd=CD", "EF=EF ", "GH=GH"});
    QsoContext Context{};
    TTally Plugin(Context);
    Plugin.AreaList.SetLines(Areas.Lines());
    cli::TLogScore Tool(Areas);
    std::map<std::tuple<std::string, std::string, std::string>, std::size_t> First;
    std::size_t Line = 0;
    while (Input.remaining_bytes() > 0) {
        logformats::TLogQSO Q;
        Q.Line = ++Line;
        Q.Call = Text(Input, {"SM5A", "sm5a", "SM5A ", "SM5", "OH2B", "A1", "", "Z9Z", "\xC4"});
        Q.Band = Text(Input, {"14", "7", " 14", "144", "", "1.8:3.5"});
        Q.Mode = Text(Input, {"CW", "SSB", "cw"});
        Q.Exchange = Text(Input, {"599 AB", "59 cd", "599 EF", "GH", "599"});
        Context.CallSign.Store(Q.Call);
        Context.DigiBand.Store(Q.Band);
        Context.QSOMode.Store(Q.Mode);
        Context.QSOReportRecived.Store(Q.Exchange);
        const std::size_t KeysBefore = Plugin.MultiplierKeys.Count();
        const std::int32_t Want = Plugin.ScoreQSO(true);
        if (Want >= 0) Plugin.SortWorkedQSOs();
        // The engine's texts: the host's fields hold 255 characters.
        const auto Key = std::make_tuple(std::string(Context.CallSign.Text()),
                                         std::string(Context.DigiBand.Text()),
                                         std::string(Context.QSOMode.Text()));
        if (Input.ConsumeBool() && Input.remaining_bytes() > 0) Tool.Prefetch(Q); // only a hint
        const cli::TVerdict Got = Tool.Add(Q);
        FUZZ_CHECK(Got.Points == Want);
        // The new multiplier the engine names is the key the plug-in added.
        FUZZ_CHECK(Got.CountedMultiplier() == (Plugin.MultiplierKeys.Count() > KeysBefore));
        if (Got.CountedMultiplier())
            FUZZ_CHECK(Tool.NewMultiplier(Got) == Plugin.MultiplierKeys[KeysBefore]);
        if (Want < 0) {
            FUZZ_CHECK(Got.DuplicateOf == First.at(Key));
        } else {
            FUZZ_CHECK(First.emplace(Key, Line).second);
        }
    }
    FUZZ_CHECK(Tool.Summary() == SummaryText(Plugin.BandStats));
    FUZZ_CHECK(Tool.Tally().MultiplierKeys.Items() == Plugin.MultiplierKeys.Items());
    FUZZ_CHECK(Tool.Tally().WorkedQSOs.Count() == First.size());
    return 0;
}
