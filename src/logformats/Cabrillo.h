// Cabrillo logs (3.0, and 2.0 as programs still write it): every "QSO:" line
// is one QSO,
//   QSO: freq mode date time my-call sent-exchange... call received-exchange... [transmitter]
// "X-QSO:" lines are read alike into XQSOs; other tag lines are kept as the
// header (tag in capitals, value trimmed); "#" lines are comments; the log ends
// at END-OF-LOG:, and lines after it are passed over with a warning.
#pragma once

#include "LogRecord.h"

namespace brevlund::logformats {

// How many tokens a QSO line's sent and received exchanges have. Unset (0):
// from each line's count, the two exchanges of one length. Set, a line whose
// count fits (a transmitter id may follow) is read so; one that does not is
// read from its own count, or, Strict, reported.
struct TQsoLayout {
    int Sent = 0, Received = 0;
    bool Strict = false;
};

// With a sink, the QSOs go there (TQsoSink).
TLogRead ReadCabrillo(std::string_view Text, const TQsoLayout& Layout = {},
                      TQsoSink* Sink = nullptr);

} // namespace brevlund::logformats
