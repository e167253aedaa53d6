// The device data panel's rules: the byte grid's cells, reading the grid,
// and the send through the simulated driver with its status texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivers/simcard_support.h"
#include "setup/DeviceData.h"
#include "shell/DriverBinding.h"

namespace {

using namespace quelvar;
using simcard_test::SimCardEnv;
using simcard_test::TempFile;

const std::string kDrivers = QUELVAR_DRIVER_DIR;

std::vector<std::string> Row(const platform::CellGrid& g, int row) {
  return {g.Cell(0, row), g.Cell(1, row), g.Cell(2, row), g.Cell(3, row)};
}

platform::CellGrid GridOf(int32_t count) {
  platform::CellGrid g = NewDeviceDataGrid();
  SizeDeviceDataGrid(g, count);
  return g;
}

// The driver as binding leaves it, from one of the built libraries.
struct BoundDriver {
  explicit BoundDriver(const std::string& file) {
    EXPECT_TRUE(driver.DriverModule.Load(kDrivers + "/" + file)) << file;
    BindEntries(driver.DriverModule, driver.Entries);
    driver.DriverUsable = 1;
  }
  DriverState driver;
};

TEST(DeviceDataCount, IsAWholeNumberHeldToTheCap) {
  const std::pair<const char*, int32_t> cases[] = {{"12", 12},    {" 3 ", 3},     {"-4", 0},       {"abc", 0},
                                                   {"", 0},       {"2.5", 0},     {"65536", 65536}, {"65537", 65536},
                                                   {"2147483647", 65536}};
  for (const auto& [text, want] : cases) EXPECT_EQ(DeviceDataCount(text), want) << text;
}

TEST(DeviceDataGrid, SizingWritesHeadersAndPositionsAndKeepsTheBytes) {
  platform::CellGrid g = GridOf(2);
  EXPECT_EQ(Row(g, 0), (std::vector<std::string>{"字节位置", "十六进制", "十进制", "字符"}));
  EXPECT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.FixedRows(), 1);
  WriteDeviceByteRow(g, 2, 0x41);
  SizeDeviceDataGrid(g, 3);
  EXPECT_EQ(Row(g, 2), (std::vector<std::string>{"字节1", "41", "65", "A"}));
  EXPECT_EQ(Row(g, 3), (std::vector<std::string>{"字节2", "", "", ""}));
  SizeDeviceDataGrid(g, 0);
  EXPECT_EQ(g.RowCount(), 1);
  EXPECT_EQ(g.FixedRows(), 0);
}

TEST(DeviceDataGrid, FillFromTheSettingsShowsEveryStoredByte) {
  LiveConfig live;
  live.Num_IOCtl = 3;
  live.IOCtlData = {0x00, 0x7F, 0xE9};
  platform::CellGrid g = NewDeviceDataGrid();
  FillSendGrid(g, live);
  EXPECT_EQ(Row(g, 1), (std::vector<std::string>{"字节0", "00", "0", ""}));
  EXPECT_EQ(Row(g, 2), (std::vector<std::string>{"字节1", "7F", "127", "\x7F"}));
  EXPECT_EQ(Row(g, 3), (std::vector<std::string>{"字节2", "E9", "233", "é"}));
  // Data shorter than their count show zeros, never bytes from beyond.
  live.Num_IOCtl = 5;
  FillSendGrid(g, live);
  EXPECT_EQ(Row(g, 5), (std::vector<std::string>{"字节4", "00", "0", ""}));
}

TEST(DeviceDataGrid, AnEditedCellSetsTheOtherTwo) {
  struct Case {
    int col;
    std::string text;
    std::string hex, dec, chr;  // the cells afterwards (the edited one unchanged)
  } cases[] = {
      {2, "300", "FF", "300", "ÿ"},  // limited to 255
      {2, "-5", "00", "-5", ""},
      {2, "x", "00", "x", ""},
      {1, "41", "41", "65", "A"},
      {1, "1FF", "1FF", "255", "ÿ"},
      {1, "zz", "zz", "0", ""},
      {3, "A", "41", "65", "A"},
      {3, "Ab", "41", "65", "Ab"},
      {3, "é", "E9", "233", "é"},
      {3, "中", "D6", "214", "中"},  // a wide character: its stored form's first byte
      {3, "", "00", "0", ""},
  };
  for (const Case& c : cases) {
    platform::CellGrid g = GridOf(1);
    g.EditCell(c.col, 1, c.text);
    EXPECT_TRUE(DeviceGridCellEdited(g, c.col, 1, c.text));
    EXPECT_EQ(Row(g, 1), (std::vector<std::string>{"字节0", c.hex, c.dec, c.chr})) << c.col << " " << c.text;
  }
}

TEST(DeviceDataGrid, HeaderAndPositionCellsAreNoBytes) {
  platform::CellGrid g = GridOf(1);
  EXPECT_FALSE(DeviceGridCellEdited(g, 2, 0, "5"));
  EXPECT_FALSE(DeviceGridCellEdited(g, 0, 1, "5"));
  EXPECT_FALSE(DeviceGridCellEdited(g, 2, 2, "5"));
  EXPECT_EQ(Row(g, 1), (std::vector<std::string>{"字节0", "", "", ""}));
}

TEST(DeviceDataRead, EachByteFromItsHexCellOrElseItsDecimalCell) {
  platform::CellGrid g = GridOf(4);
  g.SetCell(1, 1, "1A");
  g.SetCell(2, 1, "99");  // the hexadecimal cell wins
  g.SetCell(2, 2, "200");  // empty hexadecimal cell: the decimal one
  g.SetCell(2, 3, "-1");  // low 8 bits
  g.SetCell(1, 4, "123");  // low 8 bits of 0x123
  int32_t outSize = -1;
  DeviceDataBuffers buffers;
  const SendGridReading r = ReadSendGrid(g, "4", "2", outSize, buffers);
  ASSERT_TRUE(r.Ready);
  EXPECT_EQ(outSize, 2);
  EXPECT_EQ(buffers.SendCount, 4);
  EXPECT_EQ(buffers.Send, (std::vector<uint8_t>{0x1A, 200, 0xFF, 0x23}));
  EXPECT_EQ(buffers.Return.size(), 3u);
  EXPECT_EQ(Row(g, 1), (std::vector<std::string>{"字节0", "1A", "26", ""}));
  EXPECT_EQ(Row(g, 3), (std::vector<std::string>{"字节2", "FF", "255", ""}));
  EXPECT_EQ(Row(g, 4), (std::vector<std::string>{"字节3", "23", "35", ""}));
}

TEST(DeviceDataRead, CountsThatAreNoNumbersAreZeroAndNothingToSendIsSaid) {
  platform::CellGrid g = GridOf(1);
  int32_t outSize = 9;
  DeviceDataBuffers buffers;
  const SendGridReading r = ReadSendGrid(g, "abc", "-3", outSize, buffers);
  EXPECT_FALSE(r.Ready);
  EXPECT_EQ(r.Status, "没有设备数据!");
  EXPECT_EQ(r.CountText, "0");
  EXPECT_EQ(outSize, 0);
}

TEST(DeviceDataRead, HugeCountsAreHeldToTheCap) {
  platform::CellGrid g = GridOf(0);
  int32_t outSize = 0;
  DeviceDataBuffers buffers;
  const SendGridReading r = ReadSendGrid(g, "2000000000", "2000000000", outSize, buffers);
  ASSERT_TRUE(r.Ready);
  EXPECT_EQ(r.CountText, std::to_string(kMaxDeviceDataBytes));
  EXPECT_EQ(outSize, kMaxDeviceDataBytes);
  EXPECT_EQ(buffers.Send.size(), static_cast<size_t>(kMaxDeviceDataBytes));
}

class DeviceDataSend : public ::testing::Test {
 protected:
  SimCardEnv env;
  TempFile log{"ioctl"};
  void SetUp() override { env.Set("SIMCARD_IOCTL_LOG", log.Path()); }

  DeviceDataBuffers Read(platform::CellGrid& g, const char* count, const char* outSize, int32_t& size) {
    DeviceDataBuffers buffers;
    EXPECT_TRUE(ReadSendGrid(g, count, outSize, size, buffers).Ready);
    return buffers;
  }
};

TEST_F(DeviceDataSend, TheDriverGetsTheBytesAndTheReplyFillsTheReturnGrid) {
  BoundDriver bound("ADCard.DLL");
  platform::CellGrid g = GridOf(2);
  g.SetCell(1, 1, "0A");
  g.SetCell(1, 2, "FF");
  int32_t outSize = 0;
  DeviceDataBuffers buffers = Read(g, "2", "3", outSize);
  const DeviceDataSendOutcome sent = SendDeviceData(bound.driver, outSize, buffers);
  EXPECT_TRUE(sent.Sent);
  EXPECT_EQ(sent.Status, "发送设备数据成功!");
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"0a ff"}));
  platform::CellGrid back = NewDeviceDataGrid();
  FillReturnGrid(back, buffers, outSize);
  ASSERT_EQ(back.RowCount(), 4);
  EXPECT_EQ(Row(back, 1), (std::vector<std::string>{"字节0", "0A", "10", "\n"}));
  EXPECT_EQ(Row(back, 2), (std::vector<std::string>{"字节1", "FF", "255", "ÿ"}));
  EXPECT_EQ(Row(back, 3), (std::vector<std::string>{"字节2", "00", "0", ""}));
}

TEST_F(DeviceDataSend, NoBytesButAReplySendsAnEmptyBlock) {
  BoundDriver bound("ADCard.DLL");
  platform::CellGrid g = GridOf(0);
  int32_t outSize = 0;
  DeviceDataBuffers buffers = Read(g, "0", "4", outSize);
  EXPECT_TRUE(SendDeviceData(bound.driver, outSize, buffers).Sent);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{""}));
  platform::CellGrid back = NewDeviceDataGrid();
  FillReturnGrid(back, buffers, outSize);
  EXPECT_EQ(back.RowCount(), 5);
}

TEST_F(DeviceDataSend, FailuresSayWhy) {
  env.Set("SIMCARD_FAIL_IOCTL", "1");
  struct Case {
    const char* library;
    int32_t usable;
    std::string want;
  } cases[] = {
      {"ADCard.DLL", 1, "发送设备数据失败,原因:IOCtl的参数不支持"},
      {"ADCardNoLastError.DLL", 1, "发送设备数据失败!"},
      {"ADCard.DLL", 0, "不能使用此接口,低层驱动程序不存在!"},
  };
  for (const Case& c : cases) {
    BoundDriver bound(c.library);
    bound.driver.DriverUsable = c.usable;
    platform::CellGrid g = GridOf(1);
    g.SetCell(1, 1, "01");
    int32_t outSize = 0;
    DeviceDataBuffers buffers = Read(g, "1", "1", outSize);
    const DeviceDataSendOutcome sent = SendDeviceData(bound.driver, outSize, buffers);
    EXPECT_FALSE(sent.Sent) << c.library;
    EXPECT_EQ(sent.Status, c.want) << c.library;
  }
  // No library at all: the same as an unusable driver.
  DriverState none;
  DeviceDataBuffers buffers;
  EXPECT_EQ(SendDeviceData(none, 0, buffers).Status, "不能使用此接口,低层驱动程序不存在!");
}

TEST(DeviceDataStore, OkKeepsTheReadBytes) {
  LiveConfig live;
  live.Num_IOCtl = 5;
  live.IOCtlData = {1, 2, 3, 4, 5, 6};
  DeviceDataBuffers buffers;
  buffers.SendCount = 2;
  buffers.Send = {9, 8};
  EXPECT_TRUE(StoreDeviceData(live, buffers));
  EXPECT_EQ(live.Num_IOCtl, 2);
  EXPECT_EQ(live.IOCtlData, (std::vector<uint8_t>{9, 8}));
  buffers.SendCount = 0;
  EXPECT_TRUE(StoreDeviceData(live, buffers));
  EXPECT_EQ(live.Num_IOCtl, 0);
}

}  // namespace
