#include "shell/CommandLine.h"

namespace quelvar {

namespace {

// The four accepted spellings of a letter switch.
bool IsSwitch(const std::string& arg, char letter) {
  if (arg.size() != 2 || (arg[0] != '-' && arg[0] != '/')) return false;
  const char upper = letter;
  const char lower = static_cast<char>(letter - 'A' + 'a');
  return arg[1] == upper || arg[1] == lower;
}

bool IsDigitSwitch(const std::string& arg, char digit) {
  return arg.size() == 2 && (arg[0] == '-' || arg[0] == '/') && arg[1] == digit;
}

std::string InstanceSuffix(int32_t instanceNumber) {
  return instanceNumber > 0 ? std::to_string(instanceNumber) : std::string();
}

}  // namespace

StartupSwitches ParseCommandLine(const std::vector<std::string>& arguments) {
  StartupSwitches s;
  for (const std::string& arg : arguments) {
    if (IsSwitch(arg, 'F')) s.PresentationMode = 0;
    else if (IsSwitch(arg, 'R')) s.PresentationMode = 1;
    else if (IsSwitch(arg, 'P')) s.PidMode = 1;
    else if (IsSwitch(arg, 'A')) s.PidMode = 0;
    else if (IsSwitch(arg, 'S')) s.LoadSignalLib = 1;
    else if (IsSwitch(arg, 'C')) s.ResetConfig = 1;
    else if (IsSwitch(arg, 'G')) s.ConfigUnlocked = 1;
    else if (IsSwitch(arg, 'L')) s.ConfigUnlocked = 0;
    else if (IsDigitSwitch(arg, '1')) s.InstanceNumber = 1;
    else if (IsDigitSwitch(arg, '2')) s.InstanceNumber = 2;
  }
  return s;
}

std::string AppKeyNameOf(int32_t instanceNumber) { return "QuelvarTorque" + InstanceSuffix(instanceNumber); }

std::string WindowWordOf(int32_t presentationMode, int32_t instanceNumber) {
  const std::string word = presentationMode == 1 ? "记录示波器" : "录波器";
  return instanceNumber > 0 ? std::to_string(instanceNumber) + "#" + word : word;
}

std::string DriverLibraryNameOf(int32_t pidMode, int32_t instanceNumber) {
  return std::string(pidMode == 1 ? "ADCtrl" : "ADCard") + InstanceSuffix(instanceNumber) + ".DLL";
}

}  // namespace quelvar
