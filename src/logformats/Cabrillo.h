// Cabrillo logs (3.0, and 2.0 as programs still write it): every "QSO:" line
// is one QSO,
//   QSO: freq mode date time my-call sent-exchange... call received-exchange... [transmitter]
// "X-QSO:" lines are read alike into XQSOs; other tag lines are kept as the
// header (tag in capitals, value trimmed); "#" lines are comments; the log ends
// at END-OF-LOG:, and lines after it are passed over with a warning.
#pragma once

#include "LogRecord.h"

namespace brevlund::logformats {

// ExchangeTokens: how many tokens each exchange has, or 0 to take it from
// each line's count of tokens. With a sink, the QSOs go there (TQsoSink).
TLogRead ReadCabrillo(std::string_view Text, int ExchangeTokens = 0, TQsoSink* Sink = nullptr);

} // namespace brevlund::logformats
