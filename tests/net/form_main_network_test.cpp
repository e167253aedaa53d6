// The main window's network roles and its ends of the station stream, with
// loopback sockets on ports the system chooses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "acquisition/ChannelLayout.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/PackedBlock.h"
#include "net/SampleBlockForTest.h"
#include "net/FormClient.h"
#include "net/FormServer.h"
#include "net/QtStationServer.h"
#include "net/QtViewerLink.h"
#include "platform/DayTime.h"
#include "platform/MemoryRegistry.h"
#include "platform/ScriptedUiHost.h"
#include "shell/ConfigCommands.h"
#include "shell/FormMain.h"

namespace {

using namespace quelvar;

constexpr int kWaitMs = 10000;
const char* const kPortInUse = "设置现场采集站失败,因端口已被占用!";

QByteArray Bytes(const void* data, size_t size) {
  return QByteArray(static_cast<const char*>(data), static_cast<qsizetype>(size));
}

QByteArray ReadAtLeast(QTcpSocket& socket, QByteArray& got, qsizetype size) {
  const bool enough = QTest::qWaitFor(
      [&] {
        got += socket.readAll();
        return got.size() >= size;
      },
      kWaitMs);
  EXPECT_TRUE(enough) << got.size() << " of " << size << " bytes";
  return got;
}

class FormMainNetwork : public ::testing::Test {
 protected:
  AppState state;
  platform::MemoryRegistry registry;
  platform::ScriptedUiHost ui;
  platform::NullScreenSaverControl screenSaver;
  std::unique_ptr<TFormMain> form;

  void SetUp() override { form = MakeForm(state, registry); }
  void TearDown() override {
    // A run pretended by setting the state has nothing to stop.
    state.RunState = kRunIdle;
    form.reset();
  }
  std::unique_ptr<TFormMain> MakeForm(AppState& s, platform::MemoryRegistry& r) {
    auto f = std::make_unique<TFormMain>(s, MainWindowServices{r, ui, screenSaver});
    f->SetStationStreamPort(0);
    f->SetRemoteControlPort(0);
    return f;
  }
  // The checked role item: "alone", "server", "client", or what is wrong.
  std::string CheckedRole() const {
    std::string checked;
    if (form->menuAlone->isChecked()) checked += "alone";
    if (form->menuServer->isChecked()) checked += "server";
    if (form->menuClient->isChecked()) checked += "client";
    return checked;
  }
  TFormServer* StationWindow() const { return form->findChild<TFormServer*>("FormServer"); }
  bool Listening() const { return form->ServerSocket1 != nullptr && form->ServerSocket1->IsOpen(); }
  void TakeViewerRoleQuietly() {
    state.AutoConnectViewer = 1;
    form->menuClientClick();
    state.AutoConnectViewer = 0;
  }
  std::unique_ptr<QTcpSocket> ConnectViewer() {
    auto socket = std::make_unique<QTcpSocket>();
    const int before = form->ServerSocket1->Count();
    socket->connectToHost(QHostAddress::LocalHost, form->ServerSocket1->ServerPort());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->ServerSocket1->Count() == before + 1; }, kWaitMs));
    return socket;
  }
};

// ---- Role commands ----

TEST_F(FormMainNetwork, StandaloneAtStartAndTakingItAgainDoesNothing) {
  EXPECT_EQ(form->menuAlone->text().toStdString(), "脱机工作(&A)");
  EXPECT_EQ(form->menuNetwork->actions().indexOf(form->menuAlone) + 1,
            form->menuNetwork->actions().indexOf(form->menuServer));
  EXPECT_EQ(CheckedRole(), "alone");
  EXPECT_EQ(form->NetworkRole(), 0);
  EXPECT_EQ(form->StatusPanelText(3), "脱机");
  form->SetStatusPanelText(3, "-");
  form->menuAloneClick();
  EXPECT_EQ(form->StatusPanelText(3), "-");
  EXPECT_EQ(CheckedRole(), "alone");
  EXPECT_FALSE(Listening());
}

TEST_F(FormMainNetwork, EveryRoleCommandIsRefusedWhileRunning) {
  const std::vector<void (TFormMain::*)()> commands = {&TFormMain::menuAloneClick, &TFormMain::menuServerClick,
                                                       &TFormMain::menuClientClick};
  for (const int32_t run : {kRunRecording, kRunOscilloscope}) {
    for (const auto command : commands) {
      state.RunState = run;
      ((*form).*command)();
      state.RunState = kRunIdle;
      EXPECT_EQ(CheckedRole(), "alone");
      EXPECT_EQ(form->NetworkRole(), 0);
      EXPECT_FALSE(Listening());
    }
  }
  EXPECT_TRUE(ui.prompts.empty());
  // A station stays a station.
  form->menuServerClick();
  for (const auto command : commands) {
    state.RunState = kRunRecording;
    ((*form).*command)();
    state.RunState = kRunIdle;
    EXPECT_EQ(CheckedRole(), "server");
    EXPECT_TRUE(Listening());
  }
}

TEST_F(FormMainNetwork, HousekeepingNeverPollsTheCardOfARecordingViewer) {
  // Mended: a viewer's blocks come over the link, so the notification
  // watchdog must not poll a card it never started.
  form->Timer1Timer();  // the deferred start-up
  state.NetworkRole = kRoleViewer;
  state.RunState = kRunRecording;
  state.config.SimulateAD = 0;
  state.config.MaxBlock = 10;
  for (int i = 0; i < 8; ++i) form->Timer1Timer();
  EXPECT_EQ(state.acq.NotifyWatchdog, 0);
  EXPECT_EQ(state.acq.BlocksReceived, 0u);
  state.NetworkRole = kRoleAlone;
}

TEST_F(FormMainNetwork, StationRoleListensAndShowsTheWindowAndTakingItAgainReopensNothing) {
  form->menuServerClick();
  EXPECT_EQ(CheckedRole(), "server");
  EXPECT_EQ(form->NetworkRole(), 1);
  EXPECT_EQ(form->StatusPanelText(3), "现场");
  ASSERT_TRUE(Listening());
  ASSERT_NE(StationWindow(), nullptr);
  EXPECT_TRUE(StationWindow()->isVisible());

  state.RunState = kRunRecording;  // no "not sampling" to wait for
  auto viewer = ConnectViewer();
  const uint16_t port = form->ServerSocket1->ServerPort();
  state.RunState = kRunIdle;
  StationWindow()->hide();
  form->menuServerClick();
  EXPECT_TRUE(StationWindow()->isVisible());
  EXPECT_EQ(form->ServerSocket1->ServerPort(), port);
  EXPECT_EQ(form->ServerSocket1->Count(), 1);  // the viewer is still connected

  form->menuAloneClick();
  EXPECT_EQ(CheckedRole(), "alone");
  EXPECT_EQ(form->StatusPanelText(3), "脱机");
  EXPECT_FALSE(Listening());
  EXPECT_FALSE(StationWindow()->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
}

TEST_F(FormMainNetwork, PortInUseFallsBackToStandalone) {
  QTcpServer other;
  ASSERT_TRUE(other.listen(QHostAddress::Any, 0));
  form->SetStationStreamPort(other.serverPort());
  TakeViewerRoleQuietly();
  ASSERT_EQ(CheckedRole(), "client");
  form->menuServerClick();
  EXPECT_EQ(form->PostedStatusText(), kPortInUse);
  EXPECT_EQ(CheckedRole(), "alone");
  EXPECT_EQ(form->NetworkRole(), 0);
  EXPECT_EQ(form->StatusPanelText(3), "脱机");
  EXPECT_TRUE(StationWindow() == nullptr || !StationWindow()->isVisible());
}

TEST_F(FormMainNetwork, ViewerRoleAsksForTheStationAddressEveryTime) {
  std::string shown;
  ui.modalAnswers.push_back([&](platform::ModalDialog& dialog) {
    auto& address = dynamic_cast<TFormClient&>(dialog);
    shown = address.Edit_Server->text().toStdString();
    address.Edit_Server->setText("10.0.0.5");
    address.ButtonOKClick();
    return platform::kModalOk;
  });
  state.config.ServerIP = "10.0.0.1";
  form->menuClientClick();
  EXPECT_EQ(shown, "10.0.0.1");
  EXPECT_EQ(state.config.ServerIP, "10.0.0.5");
  EXPECT_EQ(CheckedRole(), "client");
  EXPECT_EQ(form->NetworkRole(), 2);
  EXPECT_EQ(form->StatusPanelText(3), "远程");
  EXPECT_EQ(form->PostedStatusText(), "请启动记录示波器以与采集站10.0.0.5连接");

  form->menuClientClick();  // cancelled (no answer queued)
  EXPECT_EQ(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).size(), 2u);
  EXPECT_EQ(CheckedRole(), "client");
  EXPECT_EQ(state.config.ServerIP, "10.0.0.5");
}

TEST_F(FormMainNetwork, CancelledAddressLeavesTheStationListeningFixesALostListener) {
  form->menuServerClick();
  form->menuClientClick();  // cancelled
  EXPECT_EQ(CheckedRole(), "server");
  EXPECT_EQ(form->NetworkRole(), 1);
  EXPECT_TRUE(Listening());
  EXPECT_TRUE(StationWindow()->isVisible());
}

TEST_F(FormMainNetwork, ViewerRoleWithTheStoredAddressClosesTheStation) {
  form->menuServerClick();
  state.config.ServerIP = "192.168.1.20";
  TakeViewerRoleQuietly();
  EXPECT_TRUE(ui.prompts.empty());
  EXPECT_EQ(CheckedRole(), "client");
  EXPECT_FALSE(Listening());
  EXPECT_FALSE(StationWindow()->isVisible());
  EXPECT_EQ(form->PostedStatusText(), "请启动记录示波器以与采集站192.168.1.20连接");
}

TEST_F(FormMainNetwork, MenuItemsRunTheirCommandsWhichKeepTheCheckMarks) {
  form->menuAlone->trigger();
  EXPECT_EQ(CheckedRole(), "alone");
  form->menuServer->trigger();
  EXPECT_EQ(CheckedRole(), "server");
  EXPECT_TRUE(Listening());
  form->menuServer->trigger();
  EXPECT_EQ(CheckedRole(), "server");
  form->menuClient->trigger();  // cancelled: nothing changes
  EXPECT_EQ(CheckedRole(), "server");
  form->menuAlone->trigger();
  EXPECT_EQ(CheckedRole(), "alone");
  EXPECT_FALSE(Listening());
}

TEST_F(FormMainNetwork, DeferredStartupRestoresTheRoleOfTheLastRun) {
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const struct Case {
    int32_t stored;
    int32_t role;
  } cases[] = {{0, 0}, {1, 1}, {2, 2}, {7, 0}};
  for (const Case& c : cases) {
    AppState s;
    platform::MemoryRegistry r;
    r.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Quelvar", "NetworkStatus", c.stored);
    auto f = MakeForm(s, r);
    EXPECT_EQ(s.NetworkRole, 0);  // nothing before the deferred start-up
    f->Timer1Timer();
    EXPECT_EQ(s.NetworkRole, c.role) << c.stored;
    EXPECT_EQ(s.AutoConnectViewer, 0);
    EXPECT_EQ(f->ServerSocket1 != nullptr && f->ServerSocket1->IsOpen(), c.role == 1);
    f.reset();
    EXPECT_EQ(r.ReadInt32("\\SOFTWARE\\QuelvarTorque\\Quelvar", "NetworkStatus"), c.role);
  }
  EXPECT_TRUE(ui.PromptsOf(platform::ScriptedUiHost::Kind::Modal).empty());
  ASSERT_EQ(chdir(cwd), 0);
}

// ---- Station side ----

TEST_F(FormMainNetwork, ViewerOfAnIdleStationGetsTheConfigurationThenNotSampling) {
  form->menuServerClick();
  auto viewer = ConnectViewer();
  QByteArray got;
  ReadAtLeast(*viewer, got, 1 + static_cast<qsizetype>(sizeof(ConfigRecord)) + 1);
  ASSERT_EQ(got.size(), 1 + static_cast<qsizetype>(sizeof(ConfigRecord)) + 1);
  auto expected = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state.config, BuildExtrasOf(state), *expected);
  EXPECT_EQ(got[0], 3);
  EXPECT_EQ(got.mid(1, sizeof(ConfigRecord)), Bytes(expected.get(), sizeof(ConfigRecord)));
  EXPECT_EQ(got.back(), 2);

  TFormServer& window = *StationWindow();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Cell(1, 2) == "连接成功"; }, kWaitMs));
  EXPECT_EQ(window.Cell(1, 1), "127.0.0.1");
  viewer->disconnectFromHost();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Cell(1, 2) == "无连接"; }, kWaitMs));
  EXPECT_EQ(form->ServerSocket1->Count(), 0);
}

TEST_F(FormMainNetwork, StationStreamsStartsBlocksAndStopsAndShowsTheAnswers) {
  LiveConfig& c = state.config;
  c.NumChn = 2;
  c.Analog_Num = 2;
  c.NumSamp = 3;
  state.acq.BlockWithPrefix = {9, 9, 5, 0, 1, 2, 3, 4, 5, 6};  // two prefix words, then the block
  state.acq.CurrentBlockOffset = 2;
  form->SendStationRawBlock();  // standalone: no listener is made for it
  EXPECT_EQ(form->ServerSocket1 == nullptr || form->ServerSocket1->Count() == 0, true);

  form->menuServerClick();
  state.RunState = kRunRecording;
  auto viewer = ConnectViewer();
  QByteArray got;
  const qsizetype record = static_cast<qsizetype>(sizeof(ConfigRecord));
  ReadAtLeast(*viewer, got, 1 + record);  // the greeting
  got.clear();

  form->BroadcastStationStart();
  form->SendStationRawBlock();
  form->SendStationBlock();  // compression is off: raw as well
  form->BroadcastStationStop();
  const QByteArray block = Bytes(state.acq.CurrentBlock(), 14);
  ReadAtLeast(*viewer, got, 1 + record + 2 * 15 + 1);
  ASSERT_EQ(got.size(), 1 + record + 2 * 15 + 1);
  EXPECT_EQ(got[0], 3);
  EXPECT_EQ(got.mid(1 + record), QByteArray(1, 0) + block + QByteArray(1, 0) + block + QByteArray(1, 4));

  TFormServer& window = *StationWindow();
  EXPECT_EQ(window.Cell(1, 3), "5");
  viewer->write("\x05\x00", 2);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Cell(1, 4) == "5"; }, kWaitMs));

  // Compressed: this block shrinks, and the label says by how much.
  state.acq.BlockWithPrefix = {9, 9, 6, 0, 0, 0, 0, 0, 0, 0};
  window.CheckBoxCompress->click();
  window.CheckBoxDPCM->click();
  got.clear();
  form->SendStationBlock();
  ReadAtLeast(*viewer, got, 5);
  EXPECT_EQ(got[0], 1);
  EXPECT_NE(window.LabelRatio->text().toStdString(), "压缩比：0%");
  EXPECT_EQ(window.Cell(1, 3), "6");
}

TEST_F(FormMainNetwork, AnAnswerCutInTwoByTheNetworkStillMarksItsViewer_MendedLostHalfAnswer) {
  form->menuServerClick();
  state.RunState = kRunRecording;  // no "not sampling" to wait for
  auto first = ConnectViewer();
  auto second = ConnectViewer();
  TFormServer& window = *StationWindow();
  // Each connection keeps its own half answer.
  const uint8_t a[] = {0x34, 0x12}, b[] = {0x07, 0x00};
  form->ServerSocket1ClientRead(0, a, 1);
  form->ServerSocket1ClientRead(1, b, 1);
  form->ServerSocket1ClientRead(0, a + 1, 1);
  form->ServerSocket1ClientRead(1, b + 1, 1);
  EXPECT_EQ(window.Cell(1, 4), "4660");
  EXPECT_EQ(window.Cell(2, 4), "7");
  // And over the sockets, however they cut it.
  first->write("\x09", 1);
  first->flush();
  first->write("\x00", 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Cell(1, 4) == "9"; }, kWaitMs));
  state.RunState = kRunIdle;
}

// A full-size block at 40 kHz lasts 25 ms, less than its compression may
// take: the station compresses on its thread, so nothing is sent while the
// block is handed over, and the stop waits for the last block and follows it.
TEST_F(FormMainNetwork, StationCompressesShortLivedBlocksOnItsThreadAndSendsThemInOrderBeforeTheStop) {
  LiveConfig& c = state.config;
  c.NumChn = 112;
  c.Analog_Num = 100;
  c.NumSamp = 1000;
  c.ChannelRate = 40000.0f;
  const size_t r = (112 * 1000 + 1) * 2;
  form->menuServerClick();
  state.RunState = kRunRecording;
  auto viewer = ConnectViewer();
  QByteArray got;
  ReadAtLeast(*viewer, got, 1 + static_cast<qsizetype>(sizeof(ConfigRecord)));
  got.clear();
  TFormServer& window = *StationWindow();
  window.CheckBoxCompress->click();  // packed as well
  const std::string labelBefore = window.LabelRatio->text().toStdString();

  constexpr int kBlocks = 3;
  std::vector<std::vector<uint16_t>> sent;
  for (uint16_t sequence = 1; sequence <= kBlocks; ++sequence) {
    sent.push_back(test::RealisticSampleBlock(112, 100, 1000, sequence, sequence, (sequence - 1) * 1000));
    state.acq.BlockWithPrefix = sent.back();
    state.acq.CurrentBlockOffset = 0;
    form->SendStationBlock();
    EXPECT_EQ(window.LabelRatio->text().toStdString(), labelBefore) << "sent in place, not by the thread";
  }
  form->BroadcastStationStop();

  // Code 5, the length, the bytes, per block; then the stop.
  GrayTables gray;
  InitGrayTables(gray);
  auto codec = std::make_unique<LzssCodec>();
  qsizetype at = 0;
  for (int i = 0; i < kBlocks; ++i) {
    ReadAtLeast(*viewer, got, at + 5);
    ASSERT_EQ(got[at], 5) << "block " << i;
    uint32_t n = 0;
    std::memcpy(&n, got.constData() + at + 1, sizeof n);
    ASSERT_LT(n, r);
    ReadAtLeast(*viewer, got, at + 5 + n);
    const auto* stream = reinterpret_cast<const uint8_t*>(got.constData() + at + 5);
    const std::vector<uint8_t> packed = codec->LzssExpand(stream, n, r);
    ASSERT_EQ(packed.size(), r);
    std::vector<uint16_t> block(r / 2);
    ASSERT_TRUE(UnpackSampleBlock(block, packed, 112, 100, 1000, gray));
    EXPECT_EQ(block, sent[static_cast<size_t>(i)]) << "block " << i;
    at += 5 + n;
  }
  ReadAtLeast(*viewer, got, at + 1);
  EXPECT_EQ(got.size(), at + 1);
  EXPECT_EQ(got[at], 4);
  EXPECT_NE(window.LabelRatio->text().toStdString(), "压缩比：0%");
  EXPECT_EQ(window.Cell(1, 3), std::to_string(kBlocks));
}

// ---- Viewer side ----

// A station of our own: a listener that records what the viewer says.
class FormMainViewer : public FormMainNetwork {
 protected:
  QTcpServer station;
  QTcpSocket* link = nullptr;

  void TearDown() override {
    // The runs here are real: they end as the user ends them.
    if (state.RunState == kRunRecording) form->menuStartQuelvarClick();
    if (state.RunState == kRunOscilloscope) form->menuStartOscilClick();
    FormMainNetwork::TearDown();
  }
  void SetUp() override {
    FormMainNetwork::SetUp();
    ASSERT_TRUE(station.listen(QHostAddress::LocalHost, 0));
    form->SetStationStreamPort(station.serverPort());
    state.config.ServerIP = "127.0.0.1";
    TakeViewerRoleQuietly();
  }
  // What the start command does in the viewer role.
  void Start(int32_t run) {
    if (run == kRunRecording) {
      form->menuStartQuelvarClick();
    } else {
      form->menuStartOscilClick();
    }
    ASSERT_EQ(state.RunState, run);
    ASSERT_TRUE(QTest::qWaitFor([&] { return station.hasPendingConnections(); }, kWaitMs));
    link = station.nextPendingConnection();
  }
  void Send(const QByteArray& bytes) { link->write(bytes); }
  // A station's configuration with its layout worked out, as it sends it.
  static std::unique_ptr<ConfigRecord> StationConfig(int32_t numSamp) {
    AppState s;
    s.config.NumSamp = numSamp;
    ComputeChannelLayout(s.config, s.layout, 0, false, {});
    auto record = std::make_unique<ConfigRecord>();
    BuildConfigRecord(s.config, BuildExtrasOf(s), *record);
    return record;
  }
  static QByteArray Started(const ConfigRecord& record) { return QByteArray(1, 3) + Bytes(&record, sizeof record); }
};

TEST_F(FormMainViewer, OpeningTheLinkSaysWhereToAndWhenItIsUp) {
  form->OpenViewerLink();
  EXPECT_EQ(form->PostedStatusText(), "正与采集站127.0.0.1连接...");
  EXPECT_TRUE(QTest::qWaitFor([&] { return form->PostedStatusText() == "与采集站127.0.0.1连接成功"; }, kWaitMs));
  form->CloseViewerLink();
  EXPECT_FALSE(form->ClientSocket1->IsConnected());
}

TEST_F(FormMainViewer, StationsBlocksAreProcessedAsAcquiredOnesAndAnswered) {
  form->menuMonitor->setChecked(true);
  Start(kRunRecording);

  const auto record = StationConfig(40);
  Send(Started(*record));
  ASSERT_TRUE(QTest::qWaitFor([&] { return state.configInForce.TempConfigActive == 1; }, kWaitMs));
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return form->RunLogText().find("采集站配置:AD板总通道=") != std::string::npos; }, kWaitMs));
  EXPECT_EQ(form->menuSysParam->title().toStdString(), "远程参数(&P)");
  EXPECT_TRUE(form->menuRestoreConfig->isVisible());
  EXPECT_EQ(form->PostedStatusText(), "开始从采集站127.0.0.1接受采样数据...");
  const LiveConfig& c = state.config;
  ASSERT_EQ(c.NumSamp, 40);
  const size_t words = 1 + static_cast<size_t>(c.NumChn) * static_cast<size_t>(c.NumSamp);

  const double before = platform::NowDayCount();
  QByteArray blocks;
  for (uint16_t seq = 0; seq < 2; ++seq) {
    std::vector<uint16_t> block(words, static_cast<uint16_t>(100 + seq));
    block[0] = seq;
    blocks += QByteArray(1, 0) + Bytes(block.data(), words * 2);
  }
  state.wave.RepaintRequested = 0;
  Send(blocks);
  QByteArray acks;
  ReadAtLeast(*link, acks, 4);
  EXPECT_EQ(acks, QByteArray("\x00\x00\x01\x00", 4));
  const double after = platform::NowDayCount();
  EXPECT_EQ(state.acq.LastSeqNo, 1);
  EXPECT_EQ(state.acq.CurrentBlock()[1], 101);
  EXPECT_EQ(state.wave.RepaintRequested, 1);
  const double span = c.NumSamp / static_cast<double>(c.ChannelRate) / 86400.0;
  EXPECT_GE(state.acq.BlockTime, before - span);
  EXPECT_LE(state.acq.BlockTime, after - span);
}

TEST_F(FormMainViewer, ConfigurationThatFailsTheCheckStopsTheRun) {
  Start(kRunRecording);
  auto record = StationConfig(40);
  record->ADMax = static_cast<float>(record->ADMax + 1.0f);
  Send(Started(*record));
  EXPECT_TRUE(QTest::qWaitFor([&] { return state.RunState == kRunIdle; }, kWaitMs));
  EXPECT_EQ(form->PostedStatusText(), "接收到错误的配置信息,停止!");
  EXPECT_EQ(state.configInForce.TempConfigActive, 0);
}

// A station record the configuration checks refuse is handled as a
// malformed one: no temporary configuration, no remote caption, the run
// stopped and the link closed. Only the valid record is taken.
TEST_F(FormMainViewer, OnlyAStationRecordThatPassesTheChecksIsTaken_MendedUncheckedStationRecord) {
  struct Case {
    const char* what;
    void (*damage)(ConfigRecord&);
    bool taken;
  };
  const Case cases[] = {
      {"Algorithm_Num 61", [](ConfigRecord& r) { r.Algorithm_Num = 61; }, false},
      {"NumSamp 0", [](ConfigRecord& r) { r.NumSamp = 0; }, false},
      {"UsedChn 9",
       [](ConfigRecord& r) {
         r.Algorithm_Num = 1;
         r.Algorithms[0].UsedChn = 9;
       },
       false},
      {"valid", [](ConfigRecord&) {}, true},
  };
  const std::string ownCaption = form->menuSysParam->title().toStdString();
  ASSERT_EQ(ownCaption, "系统参数(&P)");
  for (const Case& c : cases) {
    Start(kRunRecording);
    auto record = StationConfig(40);
    c.damage(*record);
    Send(Started(*record));
    if (c.taken) {
      ASSERT_TRUE(QTest::qWaitFor(
          [&] { return form->RunLogText().find("采集站配置:AD板总通道=") != std::string::npos; }, kWaitMs))
          << c.what;
      EXPECT_EQ(state.RunState, kRunRecording) << c.what;
      EXPECT_EQ(state.configInForce.TempConfigActive, 1) << c.what;
      EXPECT_EQ(form->menuSysParam->title().toStdString(), "远程参数(&P)") << c.what;
      EXPECT_TRUE(form->menuRestoreConfig->isVisible()) << c.what;
      EXPECT_EQ(form->PostedStatusText(), "开始从采集站127.0.0.1接受采样数据...") << c.what;
      EXPECT_EQ(state.config.NumSamp, 40) << c.what;
      EXPECT_EQ(link->state(), QAbstractSocket::ConnectedState) << c.what;
    } else {
      ASSERT_TRUE(QTest::qWaitFor([&] { return state.RunState == kRunIdle; }, kWaitMs)) << c.what;
      EXPECT_EQ(form->PostedStatusText(), "接收到错误的配置信息,停止!") << c.what;
      EXPECT_EQ(state.configInForce.TempConfigActive, 0) << c.what;
      EXPECT_EQ(form->menuSysParam->title().toStdString(), ownCaption) << c.what;
      EXPECT_FALSE(form->menuRestoreConfig->isVisible()) << c.what;
      EXPECT_EQ(form->RunLogText().find("采集站配置:"), std::string::npos) << c.what;
      EXPECT_TRUE(QTest::qWaitFor([&] { return link->state() == QAbstractSocket::UnconnectedState; }, kWaitMs))
          << c.what;
    }
  }
}

TEST_F(FormMainViewer, AnUnknownMessageCodeStopsTheRunAndClosesTheLink_MendedCodeReadAsData) {
  Start(kRunOscilloscope);
  const auto record = StationConfig(40);
  Send(Started(*record));
  ASSERT_TRUE(QTest::qWaitFor([&] { return state.configInForce.TempConfigActive == 1; }, kWaitMs));
  const size_t words = 1 + static_cast<size_t>(state.config.NumChn) * static_cast<size_t>(state.config.NumSamp);
  const std::vector<uint16_t> block(words, 7);
  Send(QByteArray(1, 6) + Bytes(block.data(), words * 2));
  ASSERT_TRUE(QTest::qWaitFor([&] { return state.RunState == kRunIdle; }, kWaitMs));
  EXPECT_EQ(form->PostedStatusText(), "接收到未知类型的数据块,停止!");
  EXPECT_TRUE(QTest::qWaitFor([&] { return link->state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
  EXPECT_EQ(link->bytesAvailable(), 0);  // no block was answered
}

TEST_F(FormMainViewer, LostStationStopsTheRunningMode) {
  for (const int32_t run : {kRunRecording, kRunOscilloscope}) {
    station.close();  // the link is refused
    if (run == kRunRecording) {
      form->menuStartQuelvarClick();
    } else {
      form->menuStartOscilClick();
    }
    ASSERT_EQ(state.RunState, run);
    EXPECT_TRUE(QTest::qWaitFor([&] { return state.RunState == kRunIdle; }, kWaitMs)) << run;
    EXPECT_EQ(form->PostedStatusText(), "与采集站127.0.0.1失去连接");
  }
}

}  // namespace
