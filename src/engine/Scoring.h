// Scoring of one QSO against the tally: duplicate check, band points, band
// statistics and multipliers. The statistics window owns the plug-in's tally;
// brevlund's scorer owns one per log. One rule serves both roads in: the host's
// current QSO in the context copy, and a QSO given as its four texts by a
// reader of log files.
#pragma once

#include "AreaList.h"
#include "HostRecords.h"
#include "Multipliers.h"
#include "WorkedList.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund {

class TStatistic {
public:
    TStatistic(std::string_view ABand, std::int32_t AQSOs, std::int32_t APoints,
               std::int32_t AMultipliers)
        : Band(ABand), QSOs(AQSOs), Points(APoints), Multipliers(AMultipliers) {}

    std::string Band;
    std::int32_t QSOs;
    std::int32_t Points;
    std::int32_t Multipliers;
};

// The nine band labels, numbered 1 to 9 like the multipliers window's buttons.
constexpr std::array<std::string_view, 9> BandLabels = {"1.8", "3.5", "7",  "10", "14",
                                                        "18",  "21",  "24", "28"};
// 1 to 9 for a label of the table, 0 for any other text.
int BandNumber(std::string_view Label);

// 2, 1 or 0 by the two points lists ":1.8:3.5:7:" and ":14:21:28:".
std::int32_t BandPoints(std::string_view Band);

// "[A-Z]{2}$": the last two characters when both are capitals A to Z.
class TAreaMatcher {
public:
    bool Match(std::string_view Text, std::string_view& Area) const;
};

// What the rule decided for one QSO.
struct TQsoVerdict {
    std::int32_t Points = 0; // -1 for a duplicate
    // For a duplicate: the worked list's index of the QSO it repeats, which in
    // log order (TWorkedList::KeepLogOrder) is its place among those recorded.
    std::optional<std::size_t> DuplicateOf;
    // The index into the multiplier keys of the band and area it counted first.
    std::optional<std::size_t> NewMultiplier;
};

// Whatever shows the multipliers window; ShowDXList switches it to a band.
class TMultipliersView {
public:
    virtual void SelectBand(std::int32_t Number) = 0;

protected:
    ~TMultipliersView() = default;
};

class TTally {
public:
    explicit TTally(QsoContext& Context) : Context(&Context) {}

    // The worked list, the duplicate check and the scoring of the current QSO.
    void AddWorkedQSO();
    void SortWorkedQSOs();
    bool IsDuplicate() const;
    std::int32_t ScoreQSO(bool Commit) { return Score(ContextTexts(), Commit).Points; }
    void ShowDXList();

    // The four texts the rule reads; each cut to a short string's length, as
    // the host's record holds them.
    struct TQsoTexts {
        std::string_view Call, Band, Mode, Exchange;
    };
    // Scores the QSO and, with Commit, records it; the verdicts of ScoreQSO.
    TQsoVerdict Score(TQsoTexts Qso, bool Commit = true);

    // Empties what a log rescan rebuilds; the area list stays.
    void EmptyWorkedQSOs() { WorkedQSOs.Clear(); }
    void EmptyBandStats() { BandStats.clear(); }
    void EmptyMultiplierKeys() { MultiplierKeys.Clear(); }

    // Not owned; null while no multipliers window is open.
    void SetMultipliersView(TMultipliersView* View) { MultipliersView = View; }
    void ForgetMultipliersView(const TMultipliersView* View) {
        if (MultipliersView == View) MultipliersView = nullptr;
    }

    TWorkedList WorkedQSOs;
    std::vector<TStatistic> BandStats;
    TMultiplierKeys MultiplierKeys;
    TAreaMatcher AreaMatcher;
    TAreaList AreaList;

private:
    // The four texts of the QSO in the context copy.
    TQsoTexts ContextTexts() const;
    TStatistic& FindBandStat(std::string_view Band);
    void ShowDXList(std::string_view Band);

    QsoContext* Context; // the context copy; not owned
    TMultipliersView* MultipliersView = nullptr;
};

} // namespace brevlund
