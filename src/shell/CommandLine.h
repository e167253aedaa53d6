#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelvar {

// What the command-line switches choose.
struct StartupSwitches {
  int32_t PresentationMode = 1;  // -R (default) 1, -F 0
  int32_t PidMode = 0;           // -P 1, -A 0
  int32_t LoadSignalLib = 0;     // -S
  int32_t ResetConfig = 0;       // -C
  int32_t ConfigUnlocked = 1;    // -G 1 (default), -L 0
  int32_t InstanceNumber = 0;    // -1, -2
};

// Every argument is compared whole and case-sensitively with the accepted
// forms (-X, -x, /X, /x; the digits as -1, /1, -2, /2); unknown arguments are
// ignored and a later argument overrides an earlier one.
StartupSwitches ParseCommandLine(const std::vector<std::string>& arguments);

// "QuelvarTorque", with the instance digit for instances 1 and 2.
std::string AppKeyNameOf(int32_t instanceNumber);
// "记录示波器" or "录波器", with "n#" in front for instance n.
std::string WindowWordOf(int32_t presentationMode, int32_t instanceNumber);
// "ADCard.DLL", "ADCtrl.DLL" in PID mode, with the instance digit before ".DLL".
std::string DriverLibraryNameOf(int32_t pidMode, int32_t instanceNumber);

}  // namespace quelvar
