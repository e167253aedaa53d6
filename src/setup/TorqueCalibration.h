#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/TorqueTables.h"

namespace quelvar::platform {
class RegistryStore;
}

namespace quelvar {

// The torque sensors' 21-point tables as the editor grid shows them, the
// check that accepts a set of tables, the torque file and the tables'
// values in the settings tree.

inline constexpr int kTorqueSensors = 3;
inline constexpr int kTorqueGridColumns = 7;  // point label, then volts and torque of each sensor
inline constexpr int kTorqueGridHeaderRows = 2;
inline constexpr int kTorqueGridRows = kTorqueGridHeaderRows + kTorqueCurvePoints;

// Cells by [row][column].
using TorqueGridCells = std::array<std::array<std::string, kTorqueGridColumns>, kTorqueGridRows>;

// Grid column c (1..6) is this table: odd columns the volts, even the torques.
TorqueCurveTable& TorqueTableOfColumn(TorqueTables& tables, int column);
const TorqueCurveTable& TorqueTableOfColumn(const TorqueTables& tables, int column);

// The headers, the point labels and the 126 numbers (7 significant digits).
TorqueGridCells TorqueGridOf(const TorqueTables& tables);

struct TorqueCheck {
  bool valid = false;
  std::string message;  // the refusal; empty when valid
  TorqueTables tables;  // the values read, when valid
};

// Every cell a number (row by row, columns 1..6), then every column strictly
// increasing; the first cell that fails names its sensor, kind and point.
TorqueCheck CheckTorqueGrid(const TorqueGridCells& cells);

// The same check on tables already held: a value that is not finite fails
// as a cell that is no number would.
std::string TorqueTablesProblem(const TorqueTables& tables);

// The torque file: "Torque 21 Points", then per sensor its header line and
// 21 lines "volts, torque" with six decimals, CR LF after every line.
std::string TorqueFileText(const TorqueTables& tables);

enum class TorqueFileStatus {
  Ok,
  BadHeader,  // the first two lines are not exactly the file's header
  ReadError,  // a number is missing, malformed or not finite
};

struct TorqueFileRead {
  TorqueFileStatus status = TorqueFileStatus::ReadError;
  TorqueTables tables;  // filled only with Ok
};

// Reads the text as the file's writer lays it out: the two header lines
// checked exactly (LF or CR LF), the 21 pairs of sensor 1, then for each
// further sensor the end of the last data line and the sensor's header
// skipped unread before its 21 pairs. What follows the last pair is not
// looked at. Every number is checked, so a damaged file changes nothing.
TorqueFileRead ReadTorqueFileText(std::string_view text);

// The status texts of the editor's file commands.
inline constexpr const char* kTorqueOpenFailed = "错误：打开文件失败！";
inline constexpr const char* kTorqueWriteOk = "提示：写入过程成功!";
inline constexpr const char* kTorqueWriteFailed = "警告：写入过程出错!";
inline constexpr const char* kTorqueBadHeader = "错误：文件头格式错误！";
inline constexpr const char* kTorqueReadOk = "提示：读取文件成功!";
inline constexpr const char* kTorqueReadFailed = "警告：写读取文件过程出错!";

// Writes the file whole or not at all; the status text of the outcome.
std::string SaveTorqueFile(const std::string& path, const TorqueTables& tables);

struct TorqueFileLoad {
  std::string status;
  bool loaded = false;
  TorqueTables tables;  // when loaded
};
TorqueFileLoad LoadTorqueFile(const std::string& path);

// The settings tree: six binaries of 21 little-endian doubles under
// "\SOFTWARE\<app>\CaliTorque". Reading stops at the first value that is
// missing or of another size, the rest keeping what they held. A sensor
// whose tables then fail the check is put back on the identity curve, one
// message for each such sensor.
std::vector<std::string> LoadTorqueTables(platform::RegistryStore& store, const std::string& appKeyName,
                                          TorqueTables& tables);
void SaveTorqueTables(platform::RegistryStore& store, const std::string& appKeyName, const TorqueTables& tables);

}  // namespace quelvar
