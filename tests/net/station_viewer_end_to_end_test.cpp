// A station and a viewer in one process, each with its own state and main
// window, over loopback: the station records on the virtual AD card and the
// viewer takes the same blocks into its own recorder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QTimer>
#include <QTest>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <memory>
#include <string>

#include "net/FormServer.h"
#include "net/QtStationServer.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "shell/FormMain.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;

constexpr int kWaitMs = 20000;
constexpr int kBlocks = 6;

struct Compression {
  const char* name;
  bool compress;
  bool predict;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

class StationAndViewerBase : public ::testing::Test {
 protected:
  AppState stationState, viewerState;
  platform::MemoryRegistry stationRegistry, viewerRegistry;
  platform::ScriptedUiHost ui;
  platform::NullScreenSaverControl screenSaver;
  std::unique_ptr<TFormMain> station, viewer;
  fs::path dir;
  char oldCwd[PATH_MAX]{};

  void SetUp() override {
    dir = fs::path(testing::TempDir()) / ("quelvar-net-" + std::to_string(getpid()));
    fs::create_directories(dir);
    ASSERT_NE(getcwd(oldCwd, sizeof oldCwd), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    station = std::make_unique<TFormMain>(stationState, MainWindowServices{stationRegistry, ui, screenSaver});
    viewer = std::make_unique<TFormMain>(viewerState, MainWindowServices{viewerRegistry, ui, screenSaver});
    stationState.config.SimulateAD = 1;
    station->SetStationStreamPort(0);
    station->SetRemoteControlPort(0);
    viewer->SetRemoteControlPort(0);
    station->menuServerClick();
    ASSERT_EQ(stationState.NetworkRole, kRoleStation);
    viewer->SetStationStreamPort(station->ServerSocket1->ServerPort());
    viewerState.config.ServerIP = "127.0.0.1";
    viewerState.AutoConnectViewer = 1;
    viewer->menuClientClick();
    viewerState.AutoConnectViewer = 0;
    ASSERT_EQ(viewerState.NetworkRole, kRoleViewer);
  }
  void TearDown() override {
    viewer.reset();
    station.reset();
    ASSERT_EQ(chdir(oldCwd), 0);
    fs::remove_all(dir);
  }
  TFormServer& StationWindow() { return *station->findChild<TFormServer*>("FormServer"); }
  bool ViewerShows(const std::string& text) { return viewer->PostedStatusText() == text; }
};

class StationAndViewer : public StationAndViewerBase, public ::testing::WithParamInterface<Compression> {};
using StationAndViewerOscilloscope = StationAndViewerBase;

TEST_P(StationAndViewer, ViewerRecordsTheStationsBlocksAsTheStationDoes) {
  TFormServer& window = StationWindow();
  if (GetParam().compress) window.CheckBoxCompress->click();
  if (GetParam().compress && !GetParam().predict) window.CheckBoxDPCM->click();

  // An idle station: its configuration, then a second later "not sampling".
  viewer->menuStartQuelvarClick();
  ASSERT_EQ(viewerState.RunState, kRunRecording);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ViewerShows("采集站还未开始采样!"); }, kWaitMs));
  EXPECT_EQ(viewerState.configInForce.TempConfigActive, 1);

  station->menuStartQuelvarClick();
  ASSERT_EQ(stationState.RunState, kRunRecording) << station->PostedStatusText();
  station->TimerOscil->stop();  // the blocks come when the test asks for them
  ASSERT_TRUE(QTest::qWaitFor([&] { return Count(viewer->RunLogText(), "采集站配置:AD板总通道=") == 2; }, kWaitMs));
  for (int i = 0; i < kBlocks; ++i) station->TimerOscilTimer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return viewerState.acq.LastSeqNo == kBlocks - 1; }, kWaitMs));
  EXPECT_EQ(viewerState.acq.RunDataGap, 0);
  EXPECT_EQ(viewerState.acq.RingWriteBlock, stationState.acq.RingWriteBlock);
  const size_t words = static_cast<size_t>(kBlocks) * static_cast<size_t>(stationState.config.NumSamp) *
                       static_cast<size_t>(stationState.config.NumChn);
  ASSERT_GE(viewerState.acq.RingBuffer.size(), words);
  EXPECT_TRUE(std::equal(stationState.acq.RingBuffer.begin(), stationState.acq.RingBuffer.begin() + words,
                         viewerState.acq.RingBuffer.begin()));
  // The label shows that the blocks went compressed.
  const std::string ratio = window.LabelRatio->text().toStdString();
  EXPECT_EQ(ratio != "压缩比：0%", GetParam().compress) << ratio;
  const std::string last = std::to_string(kBlocks - 1);
  EXPECT_EQ(window.Cell(1, 3), last);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Cell(1, 4) == last; }, kWaitMs));

  station->menuStartQuelvarClick();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ViewerShows("采集站停止采样!"); }, kWaitMs));
  viewer->menuStartQuelvarClick();
  EXPECT_EQ(viewerState.RunState, kRunIdle);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Cell(1, 2) == "无连接"; }, kWaitMs));
}

INSTANTIATE_TEST_SUITE_P(Compression, StationAndViewer,
                         ::testing::Values(Compression{"Raw", false, false}, Compression{"Compressed", true, false},
                                           Compression{"Packed", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StationAndViewerOscilloscope, ViewerOscilloscopeShowsEveryRawBlockOfTheStations) {
  viewer->menuStartOscilClick();
  ASSERT_EQ(viewerState.RunState, kRunOscilloscope);
  station->menuStartOscilClick();
  ASSERT_EQ(stationState.RunState, kRunOscilloscope) << station->PostedStatusText();
  station->TimerOscil->stop();  // the blocks come when the test asks for them
  ASSERT_TRUE(QTest::qWaitFor([&] { return Count(viewer->RunLogText(), "采集站配置:AD板总通道=") >= 1; }, kWaitMs));
  viewerState.wave.RepaintRequested = 0;
  for (int i = 0; i < 3; ++i) station->TimerOscilTimer();
  ASSERT_TRUE(QTest::qWaitFor([&] { return viewerState.acq.LastSeqNo == 2; }, kWaitMs));
  const size_t words = 1 + static_cast<size_t>(stationState.config.NumSamp) *
                               static_cast<size_t>(stationState.config.NumChn);
  EXPECT_TRUE(std::equal(stationState.acq.CurrentBlock(), stationState.acq.CurrentBlock() + words,
                         viewerState.acq.CurrentBlock()));
  EXPECT_EQ(viewerState.wave.RepaintRequested, 1);
  EXPECT_EQ(StationWindow().Cell(1, 3), "2");

  station->menuStartOscilClick();
  EXPECT_TRUE(QTest::qWaitFor([&] { return ViewerShows("采集站停止采样!"); }, kWaitMs));
  viewer->menuStartOscilClick();
  EXPECT_EQ(viewerState.RunState, kRunIdle);
}

}  // namespace
