// Cabrillo 3.0 logs: every "QSO:" line is one QSO,
//   QSO: freq mode date time my-call sent-exchange... call received-exchange... [transmitter]
// Other tag lines (START-OF-LOG:, CALLSIGN:, X-QSO:, ...) are passed over.
#pragma once

#include "LogRecord.h"

namespace brevlund::logformats {

// ExchangeTokens: how many tokens each exchange has, or 0 to take it from
// each line's count of tokens. With a sink, the QSOs go there (TQsoSink).
TLogRead ReadCabrillo(std::string_view Text, int ExchangeTokens = 0, TQsoSink* Sink = nullptr);

} // namespace brevlund::logformats
