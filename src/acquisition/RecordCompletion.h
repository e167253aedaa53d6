#pragma once

#include <string>

#include "common/AppState.h"
#include "shell/RecordFile.h"

namespace quelvar {

// The words of a switch start flag (1..5) and of an algorithm type (1..22);
// any other value gives an empty text.
std::string SwitchTriggerKindName(int32_t flag);
std::string AlgorithmTypeName(int32_t type);

// Everything the record file holds, copied on the GUI thread from the
// record state, the live configuration and the ring, so that the writer
// thread owns its data. False when the record's blocks cannot be taken.
bool BuildRecordPackage(const AppState& state, RecordPackage& package);
// The same for a record described over the data on display (the ring, or a
// record shown as history) rather than the ring.
bool BuildDisplayRecordPackage(const AppState& state, RecordPackage& package);

// Copies the record from the ring into the history record. False (history
// untouched) when its blocks cannot be taken.
bool CopyHistoryRecord(AppState& state);
// The compressed part of the display descriptor for a record just copied
// from the ring.
void SetLiveHistoryCompression(AppState& state);
// Points the display data at the history record: its samples, blocks, rows,
// points, row words and time origin, DispFirstBlock 0, DispValid 1, stored
// data (DataSourceMode 0), SelectFault 1, and the live ChannelRate the
// record's rate. The compressed part is left as the record's writer set it.
void PointDisplayAtHistory(AppState& state);
// All three of the above.
bool ExtractHistoryRecord(AppState& state);

}  // namespace quelvar
