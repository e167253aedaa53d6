#pragma once

#include <cstdint>
#include <string>

namespace quelvar {

// Continuous saving of the recorder's whole run (the recorder-settings
// dialog edits these; saving starts switched off at every program start).
struct ContinuousSaveSettings {
  int32_t idContinuousSave = 0;
  std::string ContinuousSaveFile = "F001.DAT";
  int32_t idSafeSave = 0;  // keep a backup copy
  std::string SafeSaveFileName = "F001-BAK.DAT";
  int32_t SafeSaveTime = 10;  // minutes between backup copies

  bool operator==(const ContinuousSaveSettings&) const = default;
};

}  // namespace quelvar
