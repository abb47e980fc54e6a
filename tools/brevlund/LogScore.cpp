#include "LogScore.h"

#include "engine/Summary.h"

namespace brevlund::cli {

TLogScore::TLogScore(const TAreaList& Areas) {
    Scores.AreaList.SetLines(Areas.Lines());
}

TVerdict TLogScore::Score(const logformats::TLogQSO& Qso, bool SortAfter) {
    Context.CallSign.Store(Qso.Call);
    Context.DigiBand.Store(Qso.Band);
    Context.QSOMode.Store(Qso.Mode);
    Context.QSOReportRecived.Store(Qso.Exchange);
    const std::size_t KeysBefore = Scores.MultiplierKeys.Count();

    TVerdict Verdict;
    Verdict.Line = Qso.Line;
    Verdict.Points = Scores.ScoreQSO(true);
    if (Verdict.Points >= 0 && SortAfter) Scores.SortWorkedQSOs();

    // The texts as the engine holds them: cut to 255 characters.
    auto Key =
        std::make_tuple(std::string(Context.CallSign.Text()), std::string(Context.DigiBand.Text()),
                        std::string(Context.QSOMode.Text()));
    if (Verdict.Points < 0) {
        const auto Found = FirstLines.find(Key);
        Verdict.DuplicateOf = Found == FirstLines.end() ? 0 : Found->second;
    } else {
        FirstLines.emplace(std::move(Key), Qso.Line);
    }
    if (Scores.MultiplierKeys.Count() > KeysBefore)
        Verdict.NewArea = std::string(Scores.MultiplierKeys[KeysBefore].Area());
    return Verdict;
}

std::string TLogScore::Summary() const {
    return SummaryText(Scores.BandStats);
}

std::vector<std::string> TLogScore::AreasOf(const TStatistic& Stat) const {
    return Scores.MultiplierKeys.AreasOn(Stat.Band);
}

std::vector<std::string> TLogScore::Needed(std::string_view Band) const {
    return UnmarkedCaptions(Scores.AreaList, Scores.MultiplierKeys, Band);
}

} // namespace brevlund::cli
