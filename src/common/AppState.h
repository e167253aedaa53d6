#pragma once

#include <cstdint>
#include <string>

#include "common/LiveConfig.h"

namespace quelvar {

// Process start-up state of the main window (names as the program uses them).
struct StartupState {
  // "QuelvarTorque", with the instance digit appended for instances 1 and 2;
  // the settings tree is "\SOFTWARE\" + AppKeyName.
  std::string AppKeyName = "QuelvarTorque";
  // 1 from the main window's creation until the deferred start-up has run.
  int32_t StartupPending = 1;
  // 0 until the first housekeeping call; the layout routine waits for it.
  int32_t LayoutReady = 0;
};

// Run states of the acquisition.
inline constexpr int32_t kRunIdle = 0;
inline constexpr int32_t kRunRecording = 1;
inline constexpr int32_t kRunOscilloscope = 2;

// All process-wide state in one place: the application owns one instance and
// hands each part of the program the pieces it needs; tests build a fresh one
// per case. Later parts of the program add their records here.
struct AppState {
  StartupState startup;
  LiveConfig config;
  // 0 idle, 1 recording, 2 two-trace oscilloscope.
  int32_t RunState = kRunIdle;
  std::string HelpFile;
};

}  // namespace quelvar
