// The plain log format of the bundled example: one QSO a line,
//   CallSign;DigiBand;QSOMode;QSOReportRecived
// taken as written. Empty lines and lines beginning with "#" are comments.
#pragma once

#include "LogRecord.h"

namespace brevlund::logformats {

// With a sink, the QSOs go there (TQsoSink).
TLogRead ReadCsvLog(std::string_view Text, TQsoSink* Sink = nullptr);

} // namespace brevlund::logformats
