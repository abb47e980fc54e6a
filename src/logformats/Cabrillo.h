// Cabrillo logs (3.0, and 2.0 as programs still write it): every "QSO:" line
// is one QSO,
//   QSO: freq mode date time my-call sent-exchange... call received-exchange... [transmitter]
// "X-QSO:" lines are read alike into XQSOs; other tag lines are kept as the
// header (tag in capitals, value trimmed); "#" lines are comments; the log ends
// at END-OF-LOG:, and lines after it are passed over with a warning.
#pragma once

#include "LogRecord.h"

namespace brevlund::logformats {

// How many tokens a QSO line's sent and received exchanges have.
// Unset (0): from each line's count, the two exchanges of one length, and the
// token in the call's place must look like a call, or the line is reported (a
// token missing must not turn an exchange into the call).
// Set: a line whose count fits (a transmitter id 0 or 1 may follow) is read
// so, and the token in the call's place is the call whatever it looks like (a
// busted call is still a call), with a warning when it looks like none. A line
// with more tokens is read so too, its last tokens passed over (a points
// column some programs add; one warning a log), when its call's place holds a
// call, or letters alone (a call busted out of its digit) before tokens that
// are numbers while the line's own count gives no call. Any other line is
// read from its own count as when unset, or, Strict, reported.
// Calls, the worked one and the own one, are read in capitals.
struct TQsoLayout {
    int Sent = 0, Received = 0;
    bool Strict = false;
};

// With a sink, the QSOs go there (TQsoSink).
TLogRead ReadCabrillo(std::string_view Text, const TQsoLayout& Layout = {},
                      TQsoSink* Sink = nullptr);

} // namespace brevlund::logformats
