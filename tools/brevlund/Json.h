// JSON as brevlund writes it: through nlohmann-json, keys in the order given,
// every byte of a log taken as Latin-1 and written as plain ASCII.
#pragma once

#include "LogScore.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace brevlund::cli {

using TJson = nlohmann::ordered_json;

// A log's text in UTF-8: logs are single-byte text, so each byte above 127
// stands for the code point of the same number.
std::string Latin1ToUtf8(std::string_view Text);

// A JSON string of a log's text: logs are single-byte text, so each byte above
// 127 stands for the code point of the same number.
TJson Latin1(std::string_view Text);
TJson Latin1List(const std::vector<std::string>& Texts);

// Compact, ASCII only (other characters as \u escapes), one line.
std::string Dump(const TJson& Value);

// {"qsos","points","multipliers","score"}.
TJson TotalsJson(const TTotals& Totals);

// {"bands":[{"band","qsos","points","multipliers","areas"}…],"total":{…},"score":…}
// of a scored log: what `score --json` begins with.
TJson SummaryJson(const TLogScore& Scored);

} // namespace brevlund::cli
