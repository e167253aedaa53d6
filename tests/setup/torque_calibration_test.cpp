#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "platform/MemoryRegistry.h"
#include "setup/TorqueCalibration.h"
#include "view/SensorCharacteristics.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

const std::string kKey = "\\SOFTWARE\\QuelvarTorque\\CaliTorque";

// Sensor s's curve as a user calibrates it: volts 0.5 apart, torques rising faster.
TorqueTables Calibrated() {
  TorqueTables t;
  for (int s = 1; s <= kTorqueSensors; ++s) {
    for (int i = 0; i < kTorqueCurvePoints; ++i) {
      TorqueTableOfColumn(t, 2 * s - 1)[i] = -5.0 + 0.5 * i + 0.125 * s;
      TorqueTableOfColumn(t, 2 * s)[i] = 100.0 * s * (i - 10) + 0.25;
    }
  }
  return t;
}

bool SameTables(const TorqueTables& a, const TorqueTables& b) {
  for (int c = 1; c < kTorqueGridColumns; ++c) {
    if (TorqueTableOfColumn(a, c) != TorqueTableOfColumn(b, c)) return false;
  }
  return true;
}

TorqueGridCells& Cell(TorqueGridCells& cells, int column, int point, const std::string& text) {
  cells[kTorqueGridHeaderRows + point - 1][column] = text;
  return cells;
}

TEST(TorqueGrid, ShowsHeadersLabelsAndSevenDigitNumbers) {
  TorqueTables t;
  t.TorqueTableT2[0] = 1234.56789;
  const TorqueGridCells cells = TorqueGridOf(t);
  EXPECT_EQ(cells[0][1], "扭矩1");
  EXPECT_EQ(cells[0][3], "扭矩2");
  EXPECT_EQ(cells[0][5], "扭矩3");
  EXPECT_EQ(cells[1][1], "电压(V)");
  EXPECT_EQ(cells[1][6], "扭矩(Nm)");
  EXPECT_EQ(cells[2][0], "点1");
  EXPECT_EQ(cells[22][0], "点21");
  EXPECT_EQ(cells[2][1], "-10");
  EXPECT_EQ(cells[22][2], "10");
  EXPECT_EQ(cells[2][4], "1234.568");
}

TEST(TorqueGrid, TheCheckNamesTheFirstFaultySensorKindAndPoint) {
  struct Case {
    const char* what;
    void (*damage)(TorqueGridCells&);
    const char* message;
  };
  const Case cases[] = {
      {"equal neighbouring volts of sensor 2", [](TorqueGridCells& c) { Cell(c, 3, 7, "-5"); },
       "警告：扭矩2电压，点 7 不比点 6 大"},
      {"decreasing torque of sensor 3", [](TorqueGridCells& c) { Cell(c, 6, 21, "8.5"); },
       "警告：扭矩3扭矩，点 21 不比点 20 大"},
      {"equal torques of sensor 1", [](TorqueGridCells& c) { Cell(c, 2, 2, "-10"); },
       "警告：扭矩1扭矩，点 2 不比点 1 大"},
      {"a cell that is no number", [](TorqueGridCells& c) { Cell(c, 4, 12, "1,5"); }, "警告：扭矩2扭矩，点 12 错误"},
      {"an empty volts cell", [](TorqueGridCells& c) { Cell(c, 5, 1, ""); }, "警告：扭矩3电压，点 1 错误"},
      // Every cell is read before any order is looked at.
      {"no number later than a wrong order", [](TorqueGridCells& c) { Cell(Cell(c, 1, 3, "99"), 6, 20, "x"); },
       "警告：扭矩3扭矩，点 20 错误"},
      // Within a point the columns go left to right.
      {"two faults at one point", [](TorqueGridCells& c) { Cell(Cell(c, 2, 9, "-9"), 5, 9, "-2"); },
       "警告：扭矩1扭矩，点 9 不比点 8 大"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    TorqueGridCells cells = TorqueGridOf(TorqueTables{});
    k.damage(cells);
    const TorqueCheck check = CheckTorqueGrid(cells);
    EXPECT_FALSE(check.valid);
    EXPECT_EQ(check.message, k.message);
  }
  const TorqueCheck good = CheckTorqueGrid(TorqueGridOf(Calibrated()));
  EXPECT_TRUE(good.valid);
  EXPECT_EQ(good.message, "");
  EXPECT_EQ(good.tables.TorqueTableT3[20], 3000.25);
}

TEST(TorqueFile, TheWrittenFileHasItsExactLinesAndLength) {
  const std::string text = TorqueFileText(TorqueTables{});
  std::string expected = "Torque 21 Points\r\n";
  for (int s = 1; s <= 3; ++s) {
    expected += "Torque " + std::to_string(s) + "\r\n";
    for (int i = -10; i <= 10; ++i) {
      char line[64];
      std::snprintf(line, sizeof line, "%d.000000, %d.000000\r\n", i, i);
      expected += line;
    }
  }
  EXPECT_EQ(text, expected);
  // 18 + 3 x 10 header bytes, then per sensor one line of 24 bytes (-10),
  // nine of 22 (-9 .. -1), ten of 20 (0 .. 9) and one of 22 (10).
  EXPECT_EQ(text.size(), 48u + 3u * (24u + 9u * 22u + 10u * 20u + 22u));
  EXPECT_EQ(text.substr(18, 10), "Torque 1\r\n");
  EXPECT_EQ(text.substr(28, 24), "-10.000000, -10.000000\r\n");
}

TEST(TorqueFile, ReadsBackWhatWasWrittenEvenOneByteShortOrLong) {
  const TorqueTables t = Calibrated();
  const std::string text = TorqueFileText(t);
  struct Case {
    const char* what;
    std::string text;
  };
  std::string unixEnds = text;
  for (size_t at; (at = unixEnds.find("\r\n")) != std::string::npos;) unixEnds.erase(at, 1);
  const Case cases[] = {
      {"as written", text},
      {"without the last line end's LF", text.substr(0, text.size() - 1)},
      {"one byte more at the end", text + "x"},
      {"LF line ends", unixEnds},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const TorqueFileRead read = ReadTorqueFileText(k.text);
    ASSERT_EQ(read.status, TorqueFileStatus::Ok);
    // Six decimals hold these values exactly.
    EXPECT_TRUE(SameTables(read.tables, t));
  }
}

TEST(TorqueFile, RefusesAWrongHeaderOrADamagedNumberWhole) {
  const std::string text = TorqueFileText(Calibrated());
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = text;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  struct Case {
    const char* what;
    std::string text;
    TorqueFileStatus status;
  };
  const std::string lastNumber = text.substr(text.rfind(", ") + 2);
  const Case cases[] = {
      {"one letter's case in the tag", replaced("Torque 21 Points", "Torque 21 points"), TorqueFileStatus::BadHeader},
      {"sensor 1's header", replaced("Torque 1\r\n", "Torque 9\r\n"), TorqueFileStatus::BadHeader},
      {"blanks after the tag", replaced("Points\r\n", "Points \r\n"), TorqueFileStatus::BadHeader},
      {"an empty file", "", TorqueFileStatus::BadHeader},
      {"the tag alone", "Torque 21 Points\r\n", TorqueFileStatus::BadHeader},
      {"the last number cut off", text.substr(0, text.size() - lastNumber.size()), TorqueFileStatus::ReadError},
      {"a number that is text", replaced("-4.875000, ", "abc, "), TorqueFileStatus::ReadError},
      {"a blank before the comma", replaced("-4.875000, ", "-4.875000 , "), TorqueFileStatus::ReadError},
      {"a number that is not finite", replaced("-4.875000, ", "nan, "), TorqueFileStatus::ReadError},
      {"two signs", replaced("-4.875000, ", "+-4.875000, "), TorqueFileStatus::ReadError},
      {"a zero byte before a number", replaced(", -999.75", std::string(",\0-999.75", 9)), TorqueFileStatus::ReadError},
      {"only sensor 1", text.substr(0, text.find("Torque 2\r\n")), TorqueFileStatus::ReadError},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    EXPECT_EQ(ReadTorqueFileText(k.text).status, k.status);
  }
  // The headers of sensors 2 and 3 are skipped unread.
  const TorqueFileRead other = ReadTorqueFileText(replaced("Torque 2\r\n", "anything\r\n"));
  EXPECT_EQ(other.status, TorqueFileStatus::Ok);
}

class TorqueFileOnDisk : public ::testing::Test {
 protected:
  fs::path dir = fs::path(testing::TempDir()) / ("quelvar-trq-" + std::to_string(getpid()));
  void SetUp() override { fs::create_directories(dir); }
  void TearDown() override { fs::remove_all(dir); }
};

TEST_F(TorqueFileOnDisk, SavesANewFileAndLoadsItBack) {
  const std::string path = (dir / "new.TRQ").string();
  EXPECT_EQ(SaveTorqueFile(path, Calibrated()), kTorqueWriteOk);
  EXPECT_EQ(fs::file_size(path), TorqueFileText(Calibrated()).size());
  TorqueFileLoad load = LoadTorqueFile(path);
  EXPECT_EQ(load.status, kTorqueReadOk);
  ASSERT_TRUE(load.loaded);
  EXPECT_TRUE(SameTables(load.tables, Calibrated()));
  // Replacing it with other tables.
  EXPECT_EQ(SaveTorqueFile(path, TorqueTables{}), kTorqueWriteOk);
  EXPECT_TRUE(SameTables(LoadTorqueFile(path).tables, TorqueTables{}));

  EXPECT_EQ(LoadTorqueFile((dir / "missing.TRQ").string()).status, kTorqueOpenFailed);
  EXPECT_EQ(SaveTorqueFile((dir / "no-dir" / "x.TRQ").string(), TorqueTables{}), kTorqueWriteFailed);
  std::ofstream(dir / "bad.TRQ") << "Torque 21 Points\nTorque 2\n";
  EXPECT_EQ(LoadTorqueFile((dir / "bad.TRQ").string()).status, kTorqueBadHeader);
  std::ofstream(dir / "short.TRQ") << "Torque 21 Points\nTorque 1\n1, 2\n";
  const TorqueFileLoad cut = LoadTorqueFile((dir / "short.TRQ").string());
  EXPECT_EQ(cut.status, kTorqueReadFailed);
  EXPECT_FALSE(cut.loaded);
}

platform::RegistryBytes Bytes(const TorqueCurveTable& t) {
  platform::RegistryBytes b(168);
  std::memcpy(b.data(), t.data(), 168);  // the test host is little-endian
  return b;
}

TEST(TorqueRegistry, WithoutTheKeyEveryCurveIsTheIdentity) {
  platform::MemoryRegistry registry;
  TorqueTables t;
  EXPECT_TRUE(LoadTorqueTables(registry, "QuelvarTorque", t).empty());
  EXPECT_TRUE(SameTables(t, TorqueTables{}));
  for (const double v : {-12.0, -3.5, 0.0, 7.25, 10.0, 11.0}) {
    EXPECT_DOUBLE_EQ(TorqueCurve1(t, v), v);
    EXPECT_DOUBLE_EQ(TorqueCurve3(t, v), v);
  }
}

TEST(TorqueRegistry, StoresAndReadsTheSixValuesAsLittleEndianDoubles) {
  platform::MemoryRegistry registry;
  SaveTorqueTables(registry, "QuelvarTorque", Calibrated());
  const auto stored = registry.ReadBinary(kKey, "TorqueVTableT2", 168);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(*stored, Bytes(Calibrated().TorqueVTableT2));
  EXPECT_EQ(registry.ValueNames(kKey), (std::vector<std::string>{"TorqueTableT1", "TorqueVTableT1", "TorqueTableT2",
                                                                 "TorqueVTableT2", "TorqueTableT3", "TorqueVTableT3"}));
  TorqueTables t;
  EXPECT_TRUE(LoadTorqueTables(registry, "QuelvarTorque", t).empty());
  EXPECT_TRUE(SameTables(t, Calibrated()));
}

TEST(TorqueRegistry, ReadingStopsAtTheFirstValueThatCannotBeRead) {
  platform::MemoryRegistry registry;
  const TorqueTables c = Calibrated();
  registry.WriteBinary(kKey, "TorqueTableT1", Bytes(c.TorqueTableT1));
  registry.WriteBinary(kKey, "TorqueVTableT1", Bytes(c.TorqueVTableT1));
  registry.WriteBinary(kKey, "TorqueTableT2", platform::RegistryBytes(160));  // of another size
  registry.WriteBinary(kKey, "TorqueVTableT2", Bytes(c.TorqueVTableT2));
  TorqueTables t;
  EXPECT_TRUE(LoadTorqueTables(registry, "QuelvarTorque", t).empty());
  EXPECT_EQ(t.TorqueTableT1, c.TorqueTableT1);
  EXPECT_EQ(t.TorqueVTableT1, c.TorqueVTableT1);
  EXPECT_EQ(t.TorqueVTableT2, IdentityTorqueTable());
}

TEST(TorqueRegistry, ASensorWhoseStoredCurveDoesNotRiseFallsBackToTheIdentity) {
  platform::MemoryRegistry registry;
  TorqueTables stored = Calibrated();
  stored.TorqueVTableT2[6] = stored.TorqueVTableT2[5];  // equal volts: a segment without width
  stored.TorqueTableT3[3] = std::numeric_limits<double>::quiet_NaN();
  SaveTorqueTables(registry, "QuelvarTorque", stored);
  TorqueTables t;
  const std::vector<std::string> problems = LoadTorqueTables(registry, "QuelvarTorque", t);
  EXPECT_EQ(problems, (std::vector<std::string>{"警告：扭矩2电压，点 7 不比点 6 大，已改用默认刻度(-10~10)",
                                                "警告：扭矩3扭矩，点 4 错误，已改用默认刻度(-10~10)"}));
  EXPECT_EQ(t.TorqueVTableT1, Calibrated().TorqueVTableT1);  // sensor 1 kept
  EXPECT_EQ(t.TorqueVTableT2, IdentityTorqueTable());
  EXPECT_EQ(t.TorqueTableT2, IdentityTorqueTable());
  EXPECT_EQ(t.TorqueTableT3, IdentityTorqueTable());
  EXPECT_DOUBLE_EQ(TorqueCurve2(t, 2.5), 2.5);
}

TEST(TorqueRegistry, EqualVoltsInACurveNeverDivideByZero) {
  // Whatever reaches a lookup, a segment without width gives a finite value.
  TorqueTables t;
  t.TorqueVTableT1.fill(1.0);
  for (const double v : {0.0, 1.0, 2.0}) EXPECT_TRUE(std::isfinite(TorqueCurve1(t, v))) << v;
}

}  // namespace
