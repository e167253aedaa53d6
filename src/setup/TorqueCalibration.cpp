#include "setup/TorqueCalibration.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "common/NumberFormat.h"
#include "platform/AtomicFile.h"
#include "platform/ReadOnlyFile.h"
#include "platform/RegistryStore.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr std::string_view kFileTag = "Torque 21 Points";
constexpr std::string_view kLineEnd = "\r\n";
// Far more than any torque file; a larger file is not read into memory.
constexpr uint64_t kMaxTorqueFileBytes = 1024 * 1024;
constexpr size_t kTableBytes = sizeof(TorqueCurveTable);
static_assert(kTableBytes == 168);

// The settings tree's order of the six values.
struct StoredTable {
  const char* name;
  TorqueCurveTable TorqueTables::*table;
};
constexpr StoredTable kStoredTables[] = {
    {"TorqueTableT1", &TorqueTables::TorqueTableT1}, {"TorqueVTableT1", &TorqueTables::TorqueVTableT1},
    {"TorqueTableT2", &TorqueTables::TorqueTableT2}, {"TorqueVTableT2", &TorqueTables::TorqueVTableT2},
    {"TorqueTableT3", &TorqueTables::TorqueTableT3}, {"TorqueVTableT3", &TorqueTables::TorqueVTableT3},
};

std::string CaliTorqueKey(const std::string& appKeyName) { return "\\SOFTWARE\\" + appKeyName + "\\CaliTorque"; }

int SensorOfColumn(int column) { return (column + 1) / 2; }
bool IsVoltColumn(int column) { return column % 2 == 1; }

// "警告：扭矩2电压，点 " ...: the sensor and kind of a column.
std::string ColumnPrefix(int column) {
  return "警告：扭矩" + std::to_string(SensorOfColumn(column)) + (IsVoltColumn(column) ? "电压" : "扭矩") + "，点 ";
}

std::string BadCellMessage(int column, int point) { return ColumnPrefix(column) + std::to_string(point) + " 错误"; }

std::string NotIncreasingMessage(int column, int point) {
  return ColumnPrefix(column) + std::to_string(point) + " 不比点 " + std::to_string(point - 1) + " 大";
}

// The first column (1..6) and point that break the order, checked as the
// grid is: all points must be numbers first, then increasing.
std::string ProblemOf(const TorqueTables& t) {
  for (int p = 1; p <= kTorqueCurvePoints; ++p) {
    for (int column = 1; column < kTorqueGridColumns; ++column) {
      if (!std::isfinite(TorqueTableOfColumn(t, column)[p - 1])) return BadCellMessage(column, p);
    }
  }
  for (int p = 2; p <= kTorqueCurvePoints; ++p) {
    for (int column = 1; column < kTorqueGridColumns; ++column) {
      const TorqueCurveTable& values = TorqueTableOfColumn(t, column);
      if (!(values[p - 1] > values[p - 2])) return NotIncreasingMessage(column, p);
    }
  }
  return {};
}

// A cursor over the file's text that reads as the C library's formatted
// input does: numbers after white space, literal characters at once.
class TorqueScanner {
 public:
  explicit TorqueScanner(std::string_view text) : text_(text) {}

  // The next line without its end (LF or CR LF); nothing at the end of the text.
  std::optional<std::string_view> Line() {
    if (at_ >= text_.size()) return std::nullopt;
    const size_t end = text_.find('\n', at_);
    std::string_view line = text_.substr(at_, end == std::string_view::npos ? std::string_view::npos : end - at_);
    at_ = end == std::string_view::npos ? text_.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
  }
  // A line that must exist but is not looked at.
  bool SkipLine() { return Line().has_value(); }

  // "%lf,%lf": a finite number, a comma right after it, another number.
  bool Pair(double& x, double& y) {
    if (!Number(x)) return false;
    if (at_ >= text_.size() || text_[at_] != ',') return false;
    ++at_;
    return Number(y);
  }

 private:
  bool Number(double& out) {
    while (at_ < text_.size() && text_[at_] != '\0' && std::strchr(" \t\r\n\v\f", text_[at_]) != nullptr) ++at_;
    // One sign only: from_chars takes no '+', and "+-1" is no number.
    if (at_ + 1 < text_.size() && text_[at_] == '+' && text_[at_ + 1] != '-') ++at_;
    const char* begin = text_.data() + at_;
    const char* end = text_.data() + text_.size();
    const auto [stop, error] = std::from_chars(begin, end, out);
    if (error != std::errc() || !std::isfinite(out)) return false;
    at_ += static_cast<size_t>(stop - begin);
    return true;
  }

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

TorqueCurveTable& TorqueTableOfColumn(TorqueTables& t, int column) {
  switch (column) {
    case 1: return t.TorqueVTableT1;
    case 2: return t.TorqueTableT1;
    case 3: return t.TorqueVTableT2;
    case 4: return t.TorqueTableT2;
    case 5: return t.TorqueVTableT3;
    default: return t.TorqueTableT3;
  }
}

const TorqueCurveTable& TorqueTableOfColumn(const TorqueTables& t, int column) {
  return TorqueTableOfColumn(const_cast<TorqueTables&>(t), column);
}

TorqueGridCells TorqueGridOf(const TorqueTables& tables) {
  TorqueGridCells cells;
  cells[0][1] = "扭矩1";
  cells[0][3] = "扭矩2";
  cells[0][5] = "扭矩3";
  for (int column = 1; column < kTorqueGridColumns; ++column)
    cells[1][column] = IsVoltColumn(column) ? "电压(V)" : "扭矩(Nm)";
  for (int p = 1; p <= kTorqueCurvePoints; ++p) {
    auto& row = cells[kTorqueGridHeaderRows + p - 1];
    row[0] = "点" + std::to_string(p);
    for (int column = 1; column < kTorqueGridColumns; ++column) {
      row[column] = FormatGeneral(TorqueTableOfColumn(tables, column)[p - 1], 7);
    }
  }
  return cells;
}

TorqueCheck CheckTorqueGrid(const TorqueGridCells& cells) {
  TorqueCheck check;
  for (int p = 1; p <= kTorqueCurvePoints; ++p) {
    for (int column = 1; column < kTorqueGridColumns; ++column) {
      const std::optional<double> value = ParseDialogReal(cells[kTorqueGridHeaderRows + p - 1][column]);
      if (!value) {
        check.message = BadCellMessage(column, p);
        return check;
      }
      TorqueTableOfColumn(check.tables, column)[p - 1] = *value;
    }
  }
  check.message = ProblemOf(check.tables);
  check.valid = check.message.empty();
  return check;
}

std::string TorqueTablesProblem(const TorqueTables& tables) { return ProblemOf(tables); }

std::string TorqueFileText(const TorqueTables& tables) {
  std::string text;
  text.append(kFileTag).append(kLineEnd);
  for (int sensor = 1; sensor <= kTorqueSensors; ++sensor) {
    text.append("Torque ").append(std::to_string(sensor)).append(kLineEnd);
    const TorqueCurveTable& volts = TorqueTableOfColumn(tables, 2 * sensor - 1);
    const TorqueCurveTable& torque = TorqueTableOfColumn(tables, 2 * sensor);
    for (int i = 0; i < kTorqueCurvePoints; ++i) {
      const int size = std::snprintf(nullptr, 0, "%f, %f", volts[i], torque[i]);
      std::string line(static_cast<size_t>(size) + 1, '\0');
      std::snprintf(line.data(), line.size(), "%f, %f", volts[i], torque[i]);
      line.pop_back();
      text.append(line).append(kLineEnd);
    }
  }
  return text;
}

TorqueFileRead ReadTorqueFileText(std::string_view text) {
  TorqueFileRead read;
  TorqueScanner scan(text);
  const std::optional<std::string_view> tag = scan.Line();
  const std::optional<std::string_view> first = tag ? scan.Line() : std::nullopt;
  if (!tag || !first || *tag != kFileTag || *first != "Torque 1") {
    read.status = TorqueFileStatus::BadHeader;
    return read;
  }
  TorqueTables tables;
  for (int sensor = 1; sensor <= kTorqueSensors; ++sensor) {
    // The rest of the last data line, then the sensor's own header.
    if (sensor > 1 && !(scan.SkipLine() && scan.SkipLine())) return read;
    TorqueCurveTable& volts = TorqueTableOfColumn(tables, 2 * sensor - 1);
    TorqueCurveTable& torque = TorqueTableOfColumn(tables, 2 * sensor);
    for (int i = 0; i < kTorqueCurvePoints; ++i) {
      if (!scan.Pair(volts[i], torque[i])) return read;
    }
  }
  read.status = TorqueFileStatus::Ok;
  read.tables = tables;
  return read;
}

std::string SaveTorqueFile(const std::string& path, const TorqueTables& tables) {
  std::string error;
  return platform::WriteUserFileAtomically(path, TorqueFileText(tables), error) ? kTorqueWriteOk : kTorqueWriteFailed;
}

TorqueFileLoad LoadTorqueFile(const std::string& path) {
  TorqueFileLoad load;
  platform::ReadOnlyFile file;
  if (!file.Open(path)) {
    load.status = kTorqueOpenFailed;
    return load;
  }
  load.status = kTorqueReadFailed;
  if (file.Size() > kMaxTorqueFileBytes) return load;
  std::string bytes(static_cast<size_t>(file.Size()), '\0');
  if (!bytes.empty() && !file.ReadAt(0, bytes.data(), bytes.size())) return load;
  const TorqueFileRead read = ReadTorqueFileText(bytes);
  if (read.status == TorqueFileStatus::BadHeader) {
    load.status = kTorqueBadHeader;
  } else if (read.status == TorqueFileStatus::Ok) {
    load.status = kTorqueReadOk;
    load.loaded = true;
    load.tables = read.tables;
  }
  return load;
}

std::vector<std::string> LoadTorqueTables(platform::RegistryStore& store, const std::string& appKeyName,
                                          TorqueTables& tables) {
  const std::string key = CaliTorqueKey(appKeyName);
  store.CreateKey(key);
  for (const StoredTable& stored : kStoredTables) {
    const std::optional<platform::RegistryBytes> bytes = store.ReadBinary(key, stored.name, kTableBytes);
    if (!bytes) break;
    TorqueCurveTable& table = tables.*stored.table;
    for (int i = 0; i < kTorqueCurvePoints; ++i) {
      uint64_t bits = 0;
      for (int b = 7; b >= 0; --b) bits = (bits << 8) | (*bytes)[static_cast<size_t>(i * 8 + b)];
      std::memcpy(&table[static_cast<size_t>(i)], &bits, sizeof bits);
    }
  }
  // Values from the tree are checked as the editor checks a grid: a curve
  // that does not rise everywhere would turn volts into wrong torques.
  std::vector<std::string> problems;
  for (int sensor = 1; sensor <= kTorqueSensors; ++sensor) {
    TorqueTables one;
    TorqueTableOfColumn(one, 2 * sensor - 1) = TorqueTableOfColumn(tables, 2 * sensor - 1);
    TorqueTableOfColumn(one, 2 * sensor) = TorqueTableOfColumn(tables, 2 * sensor);
    const std::string problem = ProblemOf(one);
    if (problem.empty()) continue;
    problems.push_back(problem + "，已改用默认刻度(-10~10)");
    TorqueTableOfColumn(tables, 2 * sensor - 1) = IdentityTorqueTable();
    TorqueTableOfColumn(tables, 2 * sensor) = IdentityTorqueTable();
  }
  return problems;
}

void SaveTorqueTables(platform::RegistryStore& store, const std::string& appKeyName, const TorqueTables& tables) {
  const std::string key = CaliTorqueKey(appKeyName);
  platform::RegistryBatch batch(store);
  for (const StoredTable& stored : kStoredTables) {
    const TorqueCurveTable& table = tables.*stored.table;
    platform::RegistryBytes bytes(kTableBytes);
    for (int i = 0; i < kTorqueCurvePoints; ++i) {
      uint64_t bits = 0;
      std::memcpy(&bits, &table[static_cast<size_t>(i)], sizeof bits);
      for (int b = 0; b < 8; ++b) bytes[static_cast<size_t>(i * 8 + b)] = static_cast<uint8_t>(bits >> (8 * b));
    }
    store.WriteBinary(key, stored.name, bytes);
  }
}

}  // namespace quelvar
