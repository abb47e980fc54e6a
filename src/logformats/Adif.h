// ADIF logs: an optional header up to <EOH>, then records of fields
// <NAME:LENGTH[:TYPE]>data, each record ended by <EOR>. Field names and tags
// ignore letter case; a field's data is exactly LENGTH bytes, whatever they are.
// Calls, the worked one and the own one, are read in capitals.
#pragma once

#include "LogRecord.h"

namespace brevlund::logformats {

// Every QSO carries the line on which its record's first field starts. With a
// sink, the QSOs go there (TQsoSink).
TLogRead ReadAdif(std::string_view Text, TQsoSink* Sink = nullptr);

} // namespace brevlund::logformats
