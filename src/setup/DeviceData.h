#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/AdDriver.h"
#include "common/LiveConfig.h"
#include "platform/CellGrid.h"

namespace quelvar {

// The device-data panel's rules: the byte grids (send and return, columns
// position, hexadecimal, decimal, character), reading the send grid and
// sending its bytes through the driver's _IOCtl@16.

inline constexpr int kDeviceGridCols = 4;

// A byte count typed in the panel: a whole number; not a number or negative
// gives 0, and a count beyond kMaxDeviceDataBytes is held to it.
int32_t DeviceDataCount(std::string_view text);

// A byte as its one-character text (empty for 0; bytes from 0x80 as the
// Latin-1 character of that code), and a text's first character as a byte
// (0 for an empty text; a character beyond Latin-1 gives the first byte of
// its stored form).
std::string DeviceByteCharText(uint8_t value);
uint8_t DeviceByteOfCharText(std::string_view text);

// A new send or return grid: the header row only.
platform::CellGrid NewDeviceDataGrid();
// Row r (from 1) shows byte r - 1 in all four columns.
void WriteDeviceByteRow(platform::CellGrid& grid, int row, uint8_t value);
// count + 1 rows (one fixed row when count > 0), the headers and the
// position labels; the other cells of rows that stay keep their texts.
void SizeDeviceDataGrid(platform::CellGrid& grid, int32_t count);
// The send grid as the settings hold it: Num_IOCtl rows from IOCtlData
// (bytes the data lack show as 0).
void FillSendGrid(platform::CellGrid& grid, const LiveConfig& live);
// The user's text in a cell of a data row, columns 1 to 3: the byte it
// gives, limited to 0..255, is written into the other two columns. False
// when the cell is not one of those.
bool DeviceGridCellEdited(platform::CellGrid& grid, int col, int row, std::string_view text);

// The panel's working buffers.
struct DeviceDataBuffers {
  int32_t SendCount = 0;
  std::vector<uint8_t> Send;
  std::vector<uint8_t> Return;  // IOCtl_OutSize + 1 bytes
};

struct SendGridReading {
  bool Ready = false;  // bytes to send or a reply to expect, buffers had
  std::string CountText;  // the send count as written back into its field
  std::string Status;  // when not ready
};

// Reads the two count fields and the send grid: IOCtl_OutSize is set from
// the reply field whatever follows; each byte comes from its hexadecimal
// cell or, when that is empty, its decimal cell (low 8 bits), and both
// cells are rewritten.
SendGridReading ReadSendGrid(platform::CellGrid& grid, std::string_view countText, std::string_view outSizeText,
                             int32_t& outSize, DeviceDataBuffers& buffers);

struct DeviceDataSendOutcome {
  bool Sent = false;  // the driver took the bytes; its reply is in Return
  std::string Status;
};

// Sends the read bytes through the driver and says how it went. The reply
// buffer is cleared first, so only what the driver wrote is shown.
DeviceDataSendOutcome SendDeviceData(const DriverState& driver, int32_t outSize, DeviceDataBuffers& buffers);

// The reply in the return grid: outSize + 1 rows.
void FillReturnGrid(platform::CellGrid& grid, const DeviceDataBuffers& buffers, int32_t outSize);

// OK: the read send bytes become the stored device data. False (and
// Num_IOCtl 0) when they cannot be kept.
bool StoreDeviceData(LiveConfig& live, const DeviceDataBuffers& buffers);

}  // namespace quelvar
