// JSON as brevlund writes it: through nlohmann-json, keys in the order given,
// a log's text as LogTextToUtf8 reads it, written as plain ASCII.
#pragma once

#include "LogScore.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace brevlund::cli {

using TJson = nlohmann::ordered_json;

// A log's text in UTF-8. Logs are single-byte text, mostly Latin-1, where each
// byte above 127 is the character of the same number; but programs that write
// UTF-8 without a byte-order mark leave it so, and a text that is UTF-8
// through and through is taken as such: Latin-1 names almost never are.
std::string LogTextToUtf8(std::string_view Text);

// A JSON string of a log's text, as LogTextToUtf8 reads it.
TJson LogText(std::string_view Text);
TJson LogTextList(const std::vector<std::string>& Texts);

// Compact, ASCII only (other characters as \u escapes), one line.
std::string Dump(const TJson& Value);

// {"qsos","points","multipliers","score"}.
TJson TotalsJson(const TTotals& Totals);

// {"bands":[{"band","qsos","points","multipliers","areas"}…],"total":{…},"score":…}
// of a scored log: what `score --json` begins with.
TJson SummaryJson(const TLogScore& Scored);

} // namespace brevlund::cli
