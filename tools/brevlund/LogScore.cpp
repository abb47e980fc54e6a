#include "LogScore.h"

#include "engine/LocaleText.h"
#include "engine/Summary.h"

#include <algorithm>

namespace brevlund::cli {

TLogScore::TLogScore(const TAreaList& Areas) {
    Scores.AreaList.SetLines(Areas.Lines());
    Scores.WorkedQSOs.KeepLogOrder();
}

TVerdict TLogScore::Score(const logformats::TLogQSO& Qso) {
    Context.CallSign.Store(Qso.Call);
    Context.DigiBand.Store(Qso.Band);
    Context.QSOMode.Store(Qso.Mode);
    Context.QSOReportRecived.Store(Qso.Exchange);
    const std::size_t KeysBefore = Scores.MultiplierKeys.Count();

    TVerdict Verdict;
    Verdict.Line = Qso.Line;
    Verdict.Points = Scores.ScoreQSO(true);
    if (Verdict.Points < 0) {
        // The texts as the engine holds them: cut to 255 characters.
        const std::optional<std::size_t> First = Scores.WorkedQSOs.Find(
            Context.CallSign.Text(), Context.DigiBand.Text(), Context.QSOMode.Text());
        Verdict.DuplicateOf = First ? RecordedLines[*First] : 0;
    } else {
        RecordedLines.push_back(Qso.Line);
    }
    if (Scores.MultiplierKeys.Count() > KeysBefore) {
        const std::string& New = Scores.MultiplierKeys[KeysBefore];
        Verdict.NewArea = New.substr(New.size() - 3, 2); // "band|AB|"
    }
    return Verdict;
}

void TLogScore::Prefetch(const logformats::TLogQSO& Qso) const {
    // Only a hint: texts beyond the engine's 255 characters just miss.
    Scores.WorkedQSOs.Prefetch(Qso.Call, Qso.Band, Qso.Mode);
}

std::string TLogScore::Summary() const {
    return SummaryText(Scores.BandStats);
}

std::vector<std::string> TLogScore::AreasOf(const TStatistic& Stat) const {
    std::vector<std::string> Areas;
    for (const std::string& Key : Scores.MultiplierKeys.Items())
        if (Key.size() == Stat.Band.size() + 4 && Key.compare(0, Stat.Band.size(), Stat.Band) == 0)
            Areas.push_back(Key.substr(Key.size() - 3, 2));
    return Areas;
}

std::vector<std::string> TLogScore::Needed(std::string_view Band) const {
    // The window lists its captions in the locale's order and marks a caption
    // when "band|caption|" stands anywhere in a multiplier key.
    std::vector<std::string> Captions = Scores.AreaList.ItemCaptions();
    std::stable_sort(
        Captions.begin(), Captions.end(),
        [](const std::string& A, const std::string& B) { return locale::Compare(A, B) < 0; });
    std::vector<std::string> Needed;
    for (std::string& Caption : Captions) {
        const std::string Probe = std::string(Band) + "|" + Caption + "|";
        const auto& Keys = Scores.MultiplierKeys.Items();
        if (std::none_of(Keys.begin(), Keys.end(), [&](const std::string& Key) {
                return Key.find(Probe) != std::string::npos;
            }))
            Needed.push_back(std::move(Caption));
    }
    return Needed;
}

} // namespace brevlund::cli
