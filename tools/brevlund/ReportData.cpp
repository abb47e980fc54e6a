#include "ReportData.h"

#include "engine/HostRecords.h"
#include "engine/Multipliers.h"
#include "engine/Scoring.h"
#include "engine/Text.h"
#include "logformats/Bands.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace brevlund::cli {

namespace {

TMinute FloorDiv(TMinute A, TMinute B) {
    return A / B - (A % B != 0 && (A < 0) != (B < 0));
}

// A number of digits with at most one point, or nothing.
std::optional<double> PlainNumber(std::string_view Text) {
    double Value = 0, Scale = 0;
    bool Digits = false;
    for (const char C : Text) {
        if (C == '.' && Scale == 0) {
            Scale = 1;
        } else if (C >= '0' && C <= '9') {
            Digits = true;
            if (Scale == 0) {
                Value = Value * 10 + (C - '0');
            } else {
                Scale /= 10;
                Value += Scale * (C - '0');
            }
        } else {
            return std::nullopt;
        }
    }
    return Digits ? std::optional<double>(Value) : std::nullopt;
}

// A band text as the label of a contest band where it is one or names one.
std::string_view LabelOf(std::string_view Band) {
    if (logformats::IsContestBand(Band)) return Band;
    if (const auto Known = logformats::BandOfKHz(Band)) return *Known;
    if (const auto Named = logformats::BandOfAdifName(Band)) return *Named;
    return Band;
}

// Figures of 1000 and up are kHz, as Cabrillo writes frequencies; below, MHz,
// as the bands' own labels are.
constexpr double KHzFrom = 1000;

// Where a band lies in MHz; nothing for text that names no frequency.
std::optional<double> BandMHz(std::string_view Band) {
    std::string_view Label = LabelOf(Band);
    const bool Giga = logformats::IsContestBand(Label) && Label.back() == 'G';
    if (Giga) Label.remove_suffix(1);
    const std::optional<double> Number = PlainNumber(Label);
    if (!Number) return std::nullopt;
    if (Giga) return *Number * 1000;
    return *Number >= KHzFrom ? *Number / 1000 : *Number;
}

} // namespace

std::vector<bool> OutsideTheContest(const std::vector<TMinute>& Times,
                                    const std::optional<TContestPeriod>& Period) {
    std::vector<bool> Far(Times.size());
    if (Times.empty()) return Far;
    if (Period) {
        for (std::size_t I = 0; I < Times.size(); ++I)
            Far[I] = Times[I] < Period->Start || Times[I] > Period->End;
        return Far;
    }
    std::vector<TMinute> Sorted(Times);
    const auto Middle = Sorted.begin() + static_cast<std::ptrdiff_t>((Sorted.size() - 1) / 2);
    std::nth_element(Sorted.begin(), Middle, Sorted.end());
    for (std::size_t I = 0; I < Times.size(); ++I)
        Far[I] = Times[I] > *Middle + OutsideMinutes || Times[I] < *Middle - OutsideMinutes;
    return Far;
}

std::string BandName(std::string_view Band) {
    const std::string_view Label = LabelOf(Band);
    if (logformats::IsContestBand(Label)) {
        if (Label.back() == 'G') return std::string(Label.substr(0, Label.size() - 1)) + " GHz";
        return PlainNumber(Label) ? std::string(Label) + " MHz" : std::string(Label);
    }
    if (const std::optional<double> Number = PlainNumber(Band))
        return *Number >= KHzFrom ? std::to_string(static_cast<long long>(*Number / 1000)) + " MHz"
                                  : std::string(Band) + " MHz";
    return std::string(Band);
}

std::vector<std::string> InFrequencyOrder(std::vector<std::string> Bands) {
    std::stable_sort(Bands.begin(), Bands.end(), [](const std::string& A, const std::string& B) {
        const std::optional<double> X = BandMHz(A), Y = BandMHz(B);
        if (!X || !Y) return X.has_value() && !Y.has_value();
        return *X < *Y;
    });
    return Bands;
}

std::vector<std::string> LineTexts(std::string_view Text, const std::vector<std::size_t>& Numbers,
                                   std::size_t MaxLength) {
    std::map<std::size_t, std::string> Wanted;
    for (const std::size_t N : Numbers)
        Wanted.emplace(N, std::string());
    if (!Wanted.empty())
        ForEachLine(Text, [&](std::size_t Number, std::string_view Line) {
            if (const auto Found = Wanted.find(Number); Found != Wanted.end())
                Found->second = Line.size() > MaxLength
                                    ? std::string(Line.substr(0, MaxLength)) + "..."
                                    : std::string(Line);
        });
    std::vector<std::string> Texts;
    for (const std::size_t N : Numbers)
        Texts.push_back(Wanted[N]);
    return Texts;
}

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
                            const std::vector<TVerdict>& Verdicts, const TLogScore& Scored,
                            const std::optional<TContestPeriod>& Period) {
    TReportData Data;
    const std::vector<TStatistic>& Stats = Scored.Tally().BandStats;
    std::map<std::string, std::size_t> BandIndex;
    for (std::size_t I = 0; I < Stats.size(); ++I) {
        BandIndex.emplace(Stats[I].Band, I);
        Data.Bands.push_back(Stats[I].Band);
    }
    Data.Bands = InFrequencyOrder(std::move(Data.Bands));
    // What the summary counts: no duplicates, and bands as the engine keeps them.
    const auto Counted = [&](std::size_t I) {
        return !Verdicts[I].Duplicate() &&
               BandIndex.find(std::string(ShortText(Qsos[I].Band))) != BandIndex.end();
    };

    std::map<std::string, std::int64_t> Modes;
    for (std::size_t I = 0; I < Qsos.size(); ++I)
        if (Counted(I)) ++Modes[std::string(ShortText(Qsos[I].Mode))];
    Data.Modes.assign(Modes.begin(), Modes.end());
    std::stable_sort(Data.Modes.begin(), Data.Modes.end(),
                     [](const auto& A, const auto& B) { return A.second > B.second; });

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

    // A QSO far from the rest would stretch every chart over months: it is
    // listed instead, and everything over time goes without it.
    std::vector<TMinute> TimedMinutes;
    for (const std::size_t I : Timed)
        TimedMinutes.push_back(*Times[I]);
    const std::vector<bool> Far = OutsideTheContest(TimedMinutes, Period);
    std::vector<bool> IsOutside(Qsos.size());
    std::vector<std::size_t> Inside;
    for (std::size_t K = 0; K < Timed.size(); ++K) {
        if (Far[K]) {
            Data.Outside.push_back(Timed[K]);
            IsOutside[Timed[K]] = true;
        } else {
            Inside.push_back(Timed[K]);
        }
    }
    Timed = std::move(Inside);

    // Multipliers in the order scored, and the grid they fill.
    std::map<std::string, std::map<std::string, std::optional<TMinute>>> Worked; // area, band
    std::vector<std::string> CountedAreas;
    for (std::size_t I = 0; I < Qsos.size(); ++I) {
        if (!Verdicts[I].CountedMultiplier()) continue;
        const TMultiplierKey& Key = Scored.NewMultiplier(Verdicts[I]);
        TReportMultiplier M{Times[I], std::string(Key.Band()), std::string(Key.Area()),
                            Qsos[I].Line, IsOutside[I]};
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
    Data.GridBands = InFrequencyOrder(std::move(Data.GridBands));
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
        if (Counted(I)) ++Counts[Hour][BandIndex.at(std::string(ShortText(Qsos[I].Band)))];
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
    // The best windows: each starts at a QSO's minute, for a window that
    // starts between QSOs holds no more than the one starting at the next.
    std::vector<TMinute> Minutes;
    for (const std::size_t I : Timed)
        if (Counted(I)) Minutes.push_back(*Times[I]);
    for (const TMinute Length : {TMinute{10}, TMinute{60}}) {
        TReportBestRate Best{Length, 0, 0};
        for (std::size_t From = 0, To = 0; From < Minutes.size(); ++From) {
            while (To < Minutes.size() && Minutes[To] < Minutes[From] + Length)
                ++To;
            if (static_cast<std::int64_t>(To - From) > Best.Qsos)
                Best = {Length, static_cast<std::int64_t>(To - From), Minutes[From]};
        }
        Data.BestRates.push_back(Best);
    }
    Data.OnTime = Data.LastTime - Data.FirstTime;
    for (const TReportOffTime& Off : Data.OffTimes)
        Data.OnTime -= Off.To - Off.From;
    return Data;
}

} // namespace brevlund::cli
