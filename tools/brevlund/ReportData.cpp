#include "ReportData.h"

#include "engine/HostRecords.h"
#include "engine/Multipliers.h"
#include "engine/Scoring.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace brevlund::cli {

namespace {

TMinute FloorDiv(TMinute A, TMinute B) {
    return A / B - (A % B != 0 && (A < 0) != (B < 0));
}

} // namespace

std::string TimeText(TMinute Minute) {
    // Civil date from days since 1970 (the inverse of MinuteOf's day count).
    const TMinute Days = FloorDiv(Minute, 1440), OfDay = Minute - Days * 1440;
    const TMinute Z = Days + 719468;
    const TMinute Era = FloorDiv(Z, 146097);
    const TMinute DayOfEra = Z - Era * 146097;
    const TMinute YearOfEra =
        (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
    const TMinute DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
    const TMinute MonthIndex = (5 * DayOfYear + 2) / 153;
    const TMinute Day = DayOfYear - (153 * MonthIndex + 2) / 5 + 1;
    const TMinute Month = MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9;
    const TMinute Year = YearOfEra + Era * 400 + (Month <= 2);
    char Text[96];
    std::snprintf(Text, sizeof Text, "%04lld-%02lld-%02lldT%02lld:%02lldZ",
                  static_cast<long long>(Year), static_cast<long long>(Month),
                  static_cast<long long>(Day), static_cast<long long>(OfDay / 60),
                  static_cast<long long>(OfDay % 60));
    return Text;
}

TReportData BuildReportData(const std::vector<logformats::TLogQSO>& Qsos,
                            const std::vector<TVerdict>& Verdicts, const TLogScore& Scored) {
    TReportData Data;
    const std::vector<TStatistic>& Stats = Scored.Tally().BandStats;
    std::map<std::string, std::size_t> BandIndex;
    for (std::size_t I = 0; I < Stats.size(); ++I)
        BandIndex.emplace(Stats[I].Band, I);

    std::vector<std::optional<TMinute>> Times(Qsos.size());
    // Every QSO line with a time, duplicates included (they were on the air),
    // in time order; equal times keep the log's order.
    std::vector<std::size_t> Timed;
    for (std::size_t I = 0; I < Qsos.size(); ++I) {
        Times[I] = logformats::MinuteOf(Qsos[I]);
        if (Times[I]) Timed.push_back(I);
        if (Verdicts[I].Duplicate()) Data.Duplicates.push_back({I, Times[I]});
    }
    std::stable_sort(Timed.begin(), Timed.end(),
                     [&](std::size_t A, std::size_t B) { return *Times[A] < *Times[B]; });
    Data.Untimed = Qsos.size() - Timed.size();
    Data.HasTimes = !Timed.empty();

    // Multipliers in the order scored, and the grid they fill.
    std::map<std::string, std::map<std::string, std::optional<TMinute>>> Worked; // area, band
    std::vector<std::string> CountedAreas;
    for (std::size_t I = 0; I < Qsos.size(); ++I) {
        if (!Verdicts[I].CountedMultiplier()) continue;
        const TMultiplierKey& Key = Scored.NewMultiplier(Verdicts[I]);
        TReportMultiplier M{Times[I], std::string(Key.Band()), std::string(Key.Area()),
                            Qsos[I].Line};
        if (Worked.find(M.Area) == Worked.end()) CountedAreas.push_back(M.Area);
        Worked[M.Area].emplace(M.Band, M.Time);
        Data.Multipliers.push_back(std::move(M));
    }

    // The grid: the multipliers window's bands and areas, in its order, then
    // whatever else counted (a band outside the nine, say).
    Data.GridBands.assign(BandLabels.begin(), BandLabels.end());
    for (const TStatistic& S : Stats) {
        const bool Counted =
            std::any_of(Data.Multipliers.begin(), Data.Multipliers.end(),
                        [&](const TReportMultiplier& M) { return M.Band == S.Band; });
        if (Counted &&
            std::find(Data.GridBands.begin(), Data.GridBands.end(), S.Band) == Data.GridBands.end())
            Data.GridBands.push_back(S.Band);
    }
    std::vector<std::string> Areas = MultiplierCaptions(Scored.Tally().AreaList);
    Areas.insert(Areas.end(), CountedAreas.begin(), CountedAreas.end());
    for (std::size_t I = 0; I < Areas.size(); ++I) {
        // Two lines of one name give two items in the window; one row here.
        if (std::find(Areas.begin(), Areas.begin() + static_cast<std::ptrdiff_t>(I), Areas[I]) !=
            Areas.begin() + static_cast<std::ptrdiff_t>(I))
            continue;
        TReportGridArea Row;
        Row.Area = Areas[I];
        if (const auto Found = Worked.find(Areas[I]); Found != Worked.end())
            for (const std::string& Band : Data.GridBands)
                if (const auto Cell = Found->second.find(Band); Cell != Found->second.end())
                    Row.First.emplace_back(Band, Cell->second);
        Data.Grid.push_back(std::move(Row));
    }

    if (Timed.empty()) return Data;

    // Hours from the first QSO's to the last one's, empty hours included.
    Data.FirstTime = *Times[Timed.front()];
    Data.LastTime = *Times[Timed.back()];
    const TMinute FirstHour = FloorDiv(Data.FirstTime, 60) * 60;
    const std::size_t HourCount =
        static_cast<std::size_t>(FloorDiv(Data.LastTime, 60) - FirstHour / 60 + 1);
    Data.SpanTooLong = HourCount > MaxReportHours;
    std::vector<std::map<std::size_t, std::int64_t>> Counts; // hour: band's index, QSOs
    if (!Data.SpanTooLong) {
        Counts.resize(HourCount);
        Data.Hours.resize(HourCount);
    }
    for (std::size_t H = 0; H < Data.Hours.size(); ++H)
        Data.Hours[H].Start = FirstHour + static_cast<TMinute>(H) * 60;
    const auto HourOf = [&](std::size_t Qso) {
        return static_cast<std::size_t>((*Times[Qso] - FirstHour) / 60);
    };

    std::vector<std::int64_t> Points(Data.Hours.size()), NewMultipliers(Data.Hours.size());
    for (std::size_t K = 0; K < Timed.size(); ++K) {
        const std::size_t I = Timed[K];
        if (K > 0) {
            const std::size_t Before = Timed[K - 1];
            const TMinute Gap = *Times[I] - *Times[Before];
            if (Gap >= OffTimeMinutes) Data.OffTimes.push_back({*Times[Before], *Times[I]});
        }
        if (Data.SpanTooLong) continue;
        const std::size_t Hour = HourOf(I);
        // Bands as the engine keeps them, and so as the summary names them.
        if (K > 0 && ShortText(Qsos[Timed[K - 1]].Band) != ShortText(Qsos[I].Band))
            ++Data.Hours[Hour].BandChanges;
        if (Verdicts[I].Duplicate()) continue;
        if (const auto Band = BandIndex.find(std::string(ShortText(Qsos[I].Band)));
            Band != BandIndex.end())
            ++Counts[Hour][Band->second];
        Points[Hour] += Verdicts[I].Points;
        if (Verdicts[I].CountedMultiplier()) ++NewMultipliers[Hour];
    }
    std::int64_t RunningPoints = 0, RunningMultipliers = 0;
    for (std::size_t H = 0; H < Data.Hours.size(); ++H) {
        for (const auto& [Band, Count] : Counts[H])
            Data.Hours[H].Qsos.emplace_back(Stats[Band].Band, Count);
        RunningPoints += Points[H];
        RunningMultipliers += NewMultipliers[H];
        Data.Hours[H].Points = RunningPoints;
        Data.Hours[H].Multipliers = RunningMultipliers;
    }
    Data.OnTime = Data.LastTime - Data.FirstTime;
    for (const TReportOffTime& Off : Data.OffTimes)
        Data.OnTime -= Off.To - Off.From;
    return Data;
}

} // namespace brevlund::cli
