#include "setup/DeviceData.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "acquisition/DriverErrors.h"
#include "platform/GbkText.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

namespace {

constexpr const char* kHeaders[kDeviceGridCols] = {"字节位置", "十六进制", "十进制", "字符"};
constexpr const char* kNoData = "没有设备数据!";
constexpr const char* kNoMemory = "分配内存失败!";

std::string TwoHexDigits(uint32_t value) {
  char text[12];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

std::string PositionLabel(int index) { return "字节" + std::to_string(index); }

void WriteHeaders(platform::CellGrid& grid) {
  for (int col = 0; col < kDeviceGridCols; ++col) grid.SetCell(col, 0, kHeaders[col]);
}

// The code point a UTF-8 text starts with and its length in bytes; a byte
// that starts no valid sequence stands for itself.
std::pair<uint32_t, size_t> FirstCodePoint(std::string_view text) {
  const auto b0 = static_cast<uint8_t>(text[0]);
  size_t length = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || length > text.size()) return {b0, 1};
  uint32_t code = length == 1 ? b0 : b0 & (0x7Fu >> length);
  for (size_t i = 1; i < length; ++i) {
    const auto b = static_cast<uint8_t>(text[i]);
    if ((b & 0xC0) != 0x80) return {b0, 1};
    code = code << 6 | (b & 0x3Fu);
  }
  return {code, length};
}

}  // namespace

int32_t DeviceDataCount(std::string_view text) {
  const int32_t count = ParseDialogInteger(text).value_or(0);
  return std::clamp(count, 0, kMaxDeviceDataBytes);
}

std::string DeviceByteCharText(uint8_t value) {
  if (value == 0) return {};
  if (value < 0x80) return std::string(1, static_cast<char>(value));
  return {static_cast<char>(0xC0 | value >> 6), static_cast<char>(0x80 | (value & 0x3F))};
}

uint8_t DeviceByteOfCharText(std::string_view text) {
  if (text.empty()) return 0;
  const auto [code, length] = FirstCodePoint(text);
  if (code <= 0xFF) return static_cast<uint8_t>(code);
  const std::string stored = platform::Utf8ToGbk(text.substr(0, length));
  return stored.empty() ? 0 : static_cast<uint8_t>(stored[0]);
}

platform::CellGrid NewDeviceDataGrid() {
  platform::CellGrid grid(kDeviceGridCols, 1, 1, 0);
  WriteHeaders(grid);
  return grid;
}

void WriteDeviceByteRow(platform::CellGrid& grid, int row, uint8_t value) {
  grid.SetCell(0, row, PositionLabel(row - 1));
  grid.SetCell(1, row, TwoHexDigits(value));
  grid.SetCell(2, row, std::to_string(value));
  grid.SetCell(3, row, DeviceByteCharText(value));
}

void SizeDeviceDataGrid(platform::CellGrid& grid, int32_t count) {
  count = std::clamp(count, 0, kMaxDeviceDataBytes);
  // A fixed row needs a data row below it.
  grid.SetFixed(1, 0);
  grid.SetColCount(kDeviceGridCols);
  grid.SetRowCount(count + 1);
  grid.SetFixed(1, count > 0 ? 1 : 0);
  WriteHeaders(grid);
  for (int row = 1; row <= count; ++row) grid.SetCell(0, row, PositionLabel(row - 1));
}

void FillSendGrid(platform::CellGrid& grid, const LiveConfig& live) {
  const int32_t count = std::clamp(live.Num_IOCtl, 0, kMaxDeviceDataBytes);
  SizeDeviceDataGrid(grid, count);
  for (int32_t i = 0; i < count; ++i) {
    const auto at = static_cast<size_t>(i);
    WriteDeviceByteRow(grid, i + 1, at < live.IOCtlData.size() ? live.IOCtlData[at] : 0);
  }
}

bool DeviceGridCellEdited(platform::CellGrid& grid, int col, int row, std::string_view text) {
  if (row < 1 || row >= grid.RowCount() || col < 1 || col > 3) return false;
  uint8_t value = 0;
  switch (col) {
    case 1: value = static_cast<uint8_t>(std::min<uint32_t>(ParseDialogHex(text).value_or(0), 255)); break;
    case 2: value = static_cast<uint8_t>(std::clamp(ParseDialogInteger(text).value_or(0), 0, 255)); break;
    default: value = DeviceByteOfCharText(text); break;
  }
  if (col != 1) grid.SetCell(1, row, TwoHexDigits(value));
  if (col != 2) grid.SetCell(2, row, std::to_string(value));
  if (col != 3) grid.SetCell(3, row, DeviceByteCharText(value));
  return true;
}

SendGridReading ReadSendGrid(platform::CellGrid& grid, std::string_view countText, std::string_view outSizeText,
                             int32_t& outSize, DeviceDataBuffers& buffers) {
  SendGridReading reading;
  outSize = DeviceDataCount(outSizeText);
  const int32_t count = DeviceDataCount(countText);
  buffers.SendCount = count;
  reading.CountText = std::to_string(count);
  if (count == 0 && outSize == 0) {
    reading.Status = kNoData;
    return reading;
  }
  try {
    buffers.Return.assign(static_cast<size_t>(outSize) + 1, 0);
    buffers.Send.assign(static_cast<size_t>(count), 0);
  } catch (const std::bad_alloc&) {
    reading.Status = kNoMemory;
    return reading;
  }
  for (int32_t i = 0; i < count; ++i) {
    const int row = i + 1;
    const std::string& hex = grid.Cell(1, row);
    const uint32_t value = !hex.empty() ? ParseDialogHex(hex).value_or(0)
                                        : static_cast<uint32_t>(ParseDialogInteger(grid.Cell(2, row)).value_or(0));
    const auto byte = static_cast<uint8_t>(value & 0xFFu);
    grid.SetCell(1, row, TwoHexDigits(byte));
    grid.SetCell(2, row, std::to_string(byte));
    buffers.Send[static_cast<size_t>(i)] = byte;
  }
  reading.Ready = true;
  return reading;
}

DeviceDataSendOutcome SendDeviceData(const DriverState& driver, int32_t outSize, DeviceDataBuffers& buffers) {
  DeviceDataSendOutcome outcome;
  const AdDriver& d = driver.Entries;
  if (driver.DriverUsable != 1 || d.IOCtl == nullptr) {
    outcome.Status = "不能使用此接口,低层驱动程序不存在!";
    return outcome;
  }
  outSize = std::clamp(outSize, 0, kMaxDeviceDataBytes);
  buffers.Return.assign(static_cast<size_t>(outSize) + 1, 0);
  buffers.SendCount = std::clamp(buffers.SendCount, 0, static_cast<int32_t>(buffers.Send.size()));
  if (d.IOCtl(buffers.SendCount, buffers.Send.data(), outSize, buffers.Return.data()) == 1) {
    outcome.Sent = true;
    outcome.Status = "发送设备数据成功!";
  } else if (d.GetLastADError != nullptr) {
    outcome.Status = "发送设备数据失败,原因:" + DriverErrorText(d.GetLastADError());
  } else {
    outcome.Status = "发送设备数据失败!";
  }
  return outcome;
}

void FillReturnGrid(platform::CellGrid& grid, const DeviceDataBuffers& buffers, int32_t outSize) {
  outSize = std::clamp(outSize, 0, static_cast<int32_t>(buffers.Return.size()) - 1);
  SizeDeviceDataGrid(grid, outSize);
  for (int32_t j = 0; j < outSize; ++j) WriteDeviceByteRow(grid, j + 1, buffers.Return[static_cast<size_t>(j)]);
}

bool StoreDeviceData(LiveConfig& live, const DeviceDataBuffers& buffers) {
  const int32_t count = std::clamp(buffers.SendCount, 0, static_cast<int32_t>(buffers.Send.size()));
  live.Num_IOCtl = count;
  if (count == 0) return true;
  try {
    live.IOCtlData.assign(buffers.Send.begin(), buffers.Send.begin() + count);
  } catch (const std::bad_alloc&) {
    live.Num_IOCtl = 0;
    return false;
  }
  return true;
}

}  // namespace quelvar
