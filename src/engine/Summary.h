// The score summary: one line per band, the totals and the score, as plain text
// with tabs and CR LF, for a fixed-pitch text box.
#pragma once

#include "Scoring.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevlund {

// Whatever holds the summary on screen.
class TTextBox {
public:
    virtual void SetText(const std::string& Text) = 0;
    virtual std::string GetText() const = 0;

protected:
    ~TTextBox() = default;
};

// The sums over every band and the score. 64-bit: a long contest must not
// wrap around.
struct TTotals {
    std::int64_t QSOs = 0;
    std::int64_t Points = 0;
    std::int64_t Multipliers = 0;
    std::int64_t Score() const { return Points * Multipliers; }
};
TTotals Totals(const std::vector<TStatistic>& BandStats);

// Fill repeated in front of S up to Width characters; a longer S is never cut.
std::string PadLeft(std::string_view S, std::size_t Width, char Fill);

// The summary's last line, " Score: points*multipliers=score".
std::string ScoreLine(const TTotals& Sums);

// The whole text the box shows, built from scratch.
std::string SummaryText(const std::vector<TStatistic>& BandStats);

inline void PrintSummary(const std::vector<TStatistic>& BandStats, TTextBox& Box) {
    Box.SetText(SummaryText(BandStats));
}

} // namespace brevlund
