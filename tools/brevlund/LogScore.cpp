#include "LogScore.h"

namespace brevlund::cli {

TLogScore::TLogScore(const TAreaList& Areas) {
    Scores.AreaList.SetLines(Areas.Lines());
    Scores.WorkedQSOs.KeepLogOrder();
}

TVerdict TLogScore::Add(const logformats::TLogQSO& Qso) {
    const TQsoVerdict Decided = Scores.Score({Qso.Call, Qso.Band, Qso.Mode, Qso.Exchange});
    TVerdict Verdict;
    Verdict.Points = Decided.Points;
    if (Decided.DuplicateOf)
        Verdict.DuplicateOf = RecordedLines[*Decided.DuplicateOf];
    else
        RecordedLines.push_back(Qso.Line);
    if (Decided.NewMultiplier)
        Verdict.NewMultiplier = static_cast<std::uint32_t>(*Decided.NewMultiplier);
    return Verdict;
}

void TLogScore::Prefetch(const logformats::TLogQSO& Qso) const {
    Scores.WorkedQSOs.Prefetch(ShortText(Qso.Call), ShortText(Qso.Band), ShortText(Qso.Mode));
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

std::vector<TVerdict> ScoreInLogOrder(TLogScore& Scored,
                                      const std::vector<logformats::TLogQSO>& Qsos) {
    // A few QSOs ahead, so that a big log's duplicate lookups find their slot
    // of the hash index in the cache.
    constexpr std::size_t Ahead = TLogScore::PrefetchAhead;
    std::vector<TVerdict> Verdicts;
    Verdicts.reserve(Qsos.size());
    for (std::size_t I = 0; I < Qsos.size(); ++I) {
        if (I + Ahead < Qsos.size()) Scored.Prefetch(Qsos[I + Ahead]);
        Verdicts.push_back(Scored.Add(Qsos[I]));
    }
    return Verdicts;
}

void TScoreAsRead::Take(const logformats::TLogQSO& Qso) {
    if (Taken - Done == Ahead) Scored.Add(Waiting[Done++ % Ahead]);
    logformats::TLogQSO& Slot = Waiting[Taken++ % Ahead];
    Slot.Line = Qso.Line;
    Slot.Call = Qso.Call;
    Slot.Band = Qso.Band;
    Slot.Mode = Qso.Mode;
    Slot.Exchange = Qso.Exchange;
    Scored.Prefetch(Slot);
}

void TScoreAsRead::Finish() {
    while (Done < Taken)
        Scored.Add(Waiting[Done++ % Ahead]);
}

} // namespace brevlund::cli
