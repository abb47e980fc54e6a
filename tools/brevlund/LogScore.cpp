#include "LogScore.h"

#include "engine/Summary.h"

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
    if (Scores.MultiplierKeys.Count() > KeysBefore)
        Verdict.NewArea = std::string(Scores.MultiplierKeys[KeysBefore].Area());
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
    return Scores.MultiplierKeys.AreasOn(Stat.Band);
}

std::vector<std::string> TLogScore::Needed(std::string_view Band) const {
    return UnmarkedCaptions(Scores.AreaList, Scores.MultiplierKeys, Band);
}

} // namespace brevlund::cli
