// Writes the fuzz targets' seed corpora with the program's own writers:
//   make_fuzz_seeds <directory>
// makes <directory>/<target>/ for every target and fills it. A seed is what
// the program writes or sends in ordinary use, so mutations start from input
// that reaches deep into each parser.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "FuzzHosts.h"
#include "FuzzSupport.h"
#include "acquisition/VirtualAdFile.h"
#include "analysis/RecordFileManager.h"
#include "auxwin/CompositeFile.h"
#include "auxwin/PageFile.h"
#include "common/AppState.h"
#include "net/GrayCode.h"
#include "net/LzssCodec.h"
#include "net/PackedBlock.h"
#include "net/RadioFrame.h"
#include "platform/GbkText.h"
#include "platform/RegFileFormat.h"
#include "platform/TreeRegistry.h"
#include "setup/AlgorithmFile.h"
#include "setup/TorqueCalibration.h"
#include "shell/ConfigCommands.h"
#include "shell/ConfigFile.h"
#include "shell/RecordFile.h"
#include "shell/RecordFileCheck.h"
#include "shell/RegistrySettings.h"
#include "view/DisplayOrderFile.h"

namespace {

using namespace quelvar;
namespace fs = std::filesystem;
using fuzz::Bytes;
using fuzz::Gray;

fs::path root;
bool failed = false;

fs::path Dir(const char* target) {
  const fs::path dir = root / target;
  fs::create_directories(dir);
  return dir;
}

void Fail(const std::string& what) {
  std::cerr << "make_fuzz_seeds: " << what << "\n";
  failed = true;
}

void Put(const char* target, const std::string& name, const Bytes& bytes) {
  std::ofstream out(Dir(target) / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) Fail("cannot write " + (Dir(target) / name).string());
}

void Put(const char* target, const std::string& name, const std::string& text) {
  Put(target, name, Bytes(text.begin(), text.end()));
}

template <class T>
void Append(Bytes& out, const T& value) {
  const auto* p = reinterpret_cast<const uint8_t*>(&value);
  out.insert(out.end(), p, p + sizeof value);
}

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes Prefixed(uint8_t first, const Bytes& rest) {
  Bytes out{first};
  Append(out, rest);
  return out;
}

std::unique_ptr<ConfigRecord> RecordOf(const LiveConfig& live) {
  auto record = std::make_unique<ConfigRecord>();
  BuildConfigRecord(live, ConfigBuildExtras{1, 1, 800}, *record);
  return record;
}

// A block as the card delivers it: the sequence word, then slowly changing
// analog samples and rarely changing switch words.
std::vector<uint16_t> SampleBlock(const LiveConfig& live, uint16_t sequence) {
  std::vector<uint16_t> block{sequence};
  for (int32_t row = 0; row < live.NumSamp; ++row) {
    for (int32_t word = 0; word < live.NumChn; ++word) {
      const bool analog = word < live.Analog_Num || word >= live.NumVChn;
      block.push_back(analog ? static_cast<uint16_t>(2048 + 40 * word + ((row * (word + 3)) % 50))
                             : static_cast<uint16_t>(row < live.NumSamp / 2 ? 0x0008 : 0x0009));
    }
  }
  return block;
}

// ---- Files ----

void ConfigFiles() {
  const LiveConfig own = fuzz::SeedConfig();
  std::string error;
  for (const auto& [name, live] : {std::pair{"seed.QCG", own}, std::pair{"default.QCG", LiveConfig{}}}) {
    if (!WriteConfigFile((Dir("config_file") / name).string(), *RecordOf(live), error)) Fail(error);
    const auto record = RecordOf(live);
    Bytes bytes;
    Append(bytes, *record);
    Put("config_record", std::string(name) + ".rec", bytes);
  }
}

RecordPackage SeedPackage(const LiveConfig& live, int32_t blocks, const std::string& comment) {
  RecordHeaderValues v;
  v.NumChn = live.NumChn;
  v.Total_Line = live.Total_Line;
  v.Analog_Num = live.Analog_Num;
  v.SW_Num = live.SW_Num;
  v.NumSamp = live.NumSamp;
  v.MaxMultiFreq = live.MaxMultiFreq;
  v.ChannelRate = live.ChannelRate;
  v.ADBit = live.ADBit;
  v.StartTime = 46000.5;
  v.PreBlocks = 1;
  v.TriggerPoint = 3;
  v.BlockCount = blocks;
  v.TriggerKind = 1;
  v.TriggerChannel = 3;
  RecordPackage package;
  if (const auto header = MakeRecordFileHeader(v)) {
    package.header = *header;
  } else {
    Fail("no record header for the seed configuration");
  }
  BuildConfigRecord(live, ConfigBuildExtras{1, 1, 800}, package.config);
  for (int32_t b = 0; b < blocks; ++b) {
    const auto block = SampleBlock(live, static_cast<uint16_t>(b));
    package.samples.insert(package.samples.end(), block.begin() + 1, block.end());
  }
  package.comment = comment;
  return package;
}

void RecordFiles() {
  const LiveConfig live = fuzz::SeedConfig();
  struct Case {
    const char* name;
    int32_t blocks;
    const char* comment;
  };
  for (const Case& c : {Case{"three-blocks.DAT", 3, "故障录波 A相接地"}, Case{"one-block.DAT", 1, ""}}) {
    for (const char* target : {"record_file", "replay_file", "record_file_report", "history_open"}) {
      const WriteResult written = WriteRecordFileAs((Dir(target) / c.name).string(), SeedPackage(live, c.blocks, c.comment));
      if (!written.ok) Fail(written.error);
    }
  }
  if (!IsValidRecordFile((Dir("record_file") / "three-blocks.DAT").string())) Fail("the record file seed is not valid");
  // The manager's report: a file cut inside its last block, which it repairs.
  const fs::path whole = Dir("record_file_report") / "three-blocks.DAT";
  if (!CheckRecordFileReport(whole.string(), "three-blocks.DAT").valid) Fail("the report seed does not pass");
  const fs::path cut = Dir("record_file_report") / "cut.DAT";
  fs::copy_file(whole, cut, fs::copy_options::overwrite_existing);
  fs::resize_file(cut, fs::file_size(cut) - 100);
  if (CheckRecordFileReport(cut.string(), "cut.DAT").status != kCheckLength) Fail("the cut seed is not cut");
  VirtualAdReplay replay;
  std::string status;
  if (!OpenVirtualAdFile((Dir("replay_file") / "three-blocks.DAT").string(), live, replay, status)) {
    Fail("the replay seed does not open: " + status);
  }
  CloseVirtualAdFile(replay);
}

// The older formats: an 88-byte header ("QV", the sample byte count at 52),
// the samples, the leading part of a configuration record, the comment.
void OldRecordFiles() {
  const LiveConfig live = fuzz::SeedConfig();
  const auto record = RecordOf(live);
  const auto block = SampleBlock(live, 0);
  const int32_t dataBytes = static_cast<int32_t>((block.size() - 1) * 2);
  for (const auto& [name, configBytes] :
       {std::pair{"old1.DAT", kOld1ConfigBytes}, std::pair{"old2.DAT", kOld2ConfigBytes}}) {
    Bytes bytes(kOldRecordHeaderBytes, 0);
    bytes[0] = 'Q';
    bytes[1] = 'V';
    std::memcpy(bytes.data() + kOldRecordDataBytesOffset, &dataBytes, sizeof dataBytes);
    const auto* samples = reinterpret_cast<const uint8_t*>(block.data() + 1);
    bytes.insert(bytes.end(), samples, samples + dataBytes);
    const auto* config = reinterpret_cast<const uint8_t*>(record.get());
    bytes.insert(bytes.end(), config, config + configBytes);
    const std::string comment = platform::Utf8ToGbk("旧格式");
    Append(bytes, static_cast<uint32_t>(comment.size()));
    bytes.insert(bytes.end(), comment.begin(), comment.end());
    Put("record_file_old", name, bytes);
  }
  const fs::path old1 = Dir("record_file_old") / "old1.DAT";
  if (!IsValidRecordFileOld1(old1.string())) Fail("the first older format's seed is not valid");
}

// A store that keeps the text a save would write.
class CapturingRegistry final : public platform::TreeRegistry {
 public:
  std::string text;

 protected:
  void LoadTree(AppTree&) override {}
  bool SaveTree(AppTree& tree) override {
    text = platform::FormatRegFile(tree.name, tree.root);
    return true;
  }
  std::vector<std::string> StoredTreeNames() override { return {}; }
};

void SettingsTexts() {
  for (const auto& [name, live] : {std::pair{"seed.reg", fuzz::SeedConfig()}, std::pair{"default.reg", LiveConfig{}}}) {
    CapturingRegistry store;
    RegistryContext ctx;
    ctx.PidMode = 1;
    if (!SaveConfigToRegistry(store, ctx, live, MainViewSettings{}, WaveViewState{})) Fail("the settings could not be written");
    Put("settings_text", name, store.text);
    Put("registry_settings", name, store.text);
  }
  // What REGEDIT writes besides: a BOM, CRLF, a continued hex line.
  const std::string regedit =
      "\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque]\r\n"
      "\"Name\"=\"a \\\"quoted\\\" \\\\ value\"\r\n\"Count\"=dword:0000002a\r\n"
      "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
      "  16,17,18\r\n\"Text\"=hex(1):41,00,00,00\r\n";
  Put("settings_text", "regedit.reg", regedit);
}

void AlgorithmFiles() {
  const LiveConfig live = fuzz::SeedConfig();
  std::string error;
  const std::span<const AlgorithmConfig> all(live.AlgorithmTable);
  if (!WriteAlgorithmFile((Dir("algorithm_file") / "three.alg").string(), all.first(3), error)) Fail(error);
  if (!WriteAlgorithmFile((Dir("algorithm_file") / "sixty.alg").string(), all, error)) Fail(error);
}

void ViewFiles() {
  PageFileContents page;
  page.Analog = {5, 6, 0};
  page.Switches = {2};
  Put("page_file", "page.vpc", PageFileText(page));
  Put("page_file", "empty.vpc", PageFileText(PageFileContents{}));
  CompositeDef composite;
  DefaultCompositeDef(composite, fuzz::SeedConfig());
  Put("composite_file", "default.cpd", CompositeDefBytes(composite));
  composite.Count = 1;
  composite.Columns = 0;
  Put("composite_file", "one.cpd", CompositeDefBytes(composite));
  DisplayOrder order{};
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int16_t>(order.size() - 1 - i);
  Put("display_order_file", "reversed.grd", EncodeDisplayOrderFile(order));
  TorqueTables torque;
  Put("torque_file", "identity.trq", TorqueFileText(torque));
}

void BrandingFiles() {
  Put("branding_file", "OEM.def", platform::Utf8ToGbk("logo.bmp\r\n数据采集系统\r\n版本 2.5\r\n"));
  Put("branding_file", "short.def", std::string("logo.bmp\n"));
}

void CoverFiles() {
  Put("cover_page_file", "cover.txt", platform::Utf8ToGbk("封面\r\n实验报告\r\n\r\n日期\n"));
  Put("cover_page_file", "long.txt", std::string(126, 'a') + platform::Utf8ToGbk("中文") + "\n" + std::string(300, 'b'));
}

// ---- Codec and packed blocks ----

Bytes BlockBytes(const std::vector<uint16_t>& block) {
  const auto* p = reinterpret_cast<const uint8_t*>(block.data());
  return Bytes(p, p + block.size() * 2);
}

void CodecSeeds() {
  const LiveConfig live = fuzz::SeedConfig();
  const auto block = SampleBlock(live, 5);
  Bytes packed(block.size() * 2);
  if (!PackSampleBlock(block, packed, live.NumChn, live.Analog_Num, live.NumSamp, Gray())) Fail("packing failed");

  Bytes shape;
  shape.push_back(static_cast<uint8_t>(live.NumChn));
  shape.push_back(static_cast<uint8_t>(live.Analog_Num));
  Append(shape, static_cast<uint16_t>(live.NumSamp));
  Append(shape, packed);
  Put("packed_block", "seed-layout", shape);

  LzssCodec codec;
  const Bytes raw = BlockBytes(block);
  const uint8_t bound = static_cast<uint8_t>((raw.size() >> 8) + 1);
  for (const auto& [name, input] : {std::pair{"raw-block", raw}, std::pair{"packed-block", packed}}) {
    const CodecBuffer out = codec.LzssCompress(input.data(), input.size());
    Put("lzss_expand", name, Prefixed(bound, Bytes(out.begin(), out.end())));
  }
  // The same blocks uncompressed, cut into pieces of about a block each.
  const uint8_t cut = static_cast<uint8_t>((raw.size() - 1) / 64);
  Bytes two = Prefixed(cut, raw);
  Append(two, BlockBytes(SampleBlock(live, 6)));
  Put("lzss_round_trip", "raw-blocks", two);
  Put("lzss_round_trip", "packed-block", Prefixed(cut, packed));
  const std::string text = "重复的文本 repeated text repeated text repeated text";
  const CodecBuffer out = codec.LzssCompress(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  Put("lzss_expand", "text", Prefixed(1, Bytes(out.begin(), out.end())));
}

// ---- The station stream ----

void StationSeeds() {
  const LiveConfig live = fuzz::SeedConfig();
  const auto record = RecordOf(live);
  const StationBlockShape shape{live.NumChn, live.Analog_Num, live.NumSamp};
  fuzz::StationSink sink;
  StationLink link{sink, sink};
  LzssCodec codec;
  std::vector<uint16_t> packing;
  GreetStationViewer(link, 0, *record, kRunRecording);
  uint16_t sequence = 0;
  for (const StationStreamSettings settings : {StationStreamSettings{0, 0}, StationStreamSettings{1, 0},
                                                StationStreamSettings{1, 1}, StationStreamSettings{1, 1}}) {
    SendStationBlock(link, settings, shape, SampleBlock(live, sequence++), codec, Gray(), packing);
  }
  SendStationRawBlock(link, shape, SampleBlock(live, sequence++));
  BroadcastStationStop(link);
  Put("station_stream", "recording", Prefixed(255, sink.sent));
  {
    LiveConfig config = fuzz::SeedConfig();
    LzssCodec viewerCodec;
    fuzz::ViewerWindow viewer(config);
    ViewerReceiver receiver(viewer, config, viewerCodec, Gray());
    viewer.Attach(receiver);
    receiver.Open();
    receiver.Feed(sink.sent.data(), sink.sent.size());
    if (viewer.blocks != 5) Fail("a viewer takes " + std::to_string(viewer.blocks) + " of the station's 5 blocks");
  }
  Put("station_stream", "recording-split", Prefixed(0, sink.sent));

  fuzz::StationSink idle;
  StationLink idleLink{idle, idle};
  GreetStationViewer(idleLink, 0, *record, kRunIdle);
  SendStationNotSampling(idleLink, 1, kRunIdle);
  Put("station_stream", "idle", Prefixed(255, idle.sent));
}

// ---- Remote control ----

// One arrival on a serial port as the radio target reads it.
void AppendArrival(Bytes& out, const Bytes& bytes) {
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t left = bytes.size() - at;
    size_t n = 0;
    if (left >= 512) {
      const size_t steps = std::min<size_t>(left / 512, 128);
      out.push_back(static_cast<uint8_t>(127 + steps));
      n = steps * 512;
    } else {
      n = std::min<size_t>(left, 127);
      out.push_back(static_cast<uint8_t>(n));
    }
    out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
               bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
    at += n;
  }
}

// A console and a controlled side talking: every request the console sends
// and every reply it gets. The console's requests are the remote-control
// seeds (over TCP and as radio frames), its steps and the replies the
// console's seeds.
void RemoteSeeds() {
  auto consoleState = std::make_unique<AppState>();
  consoleState->config = LiveConfig{};
  fuzz::TakeConfig(consoleState->config);
  auto controlledState = std::make_unique<AppState>();
  controlledState->config = fuzz::SeedConfig();

  fuzz::ConsoleWindow window;
  RemoteConsole console(*consoleState, window);
  fuzz::ControlledHost host(*controlledState);
  RemoteControlInterpreter interpreter;

  Bytes tcp;        // every request as the controlled side receives it
  Bytes radio;      // the same as radio frames, one per frame or payload
  Bytes steps;      // the console's steps with the replies it got
  // A second controlled side, only to know where each radio frame ends.
  auto framingState = std::make_unique<AppState>();
  framingState->config = fuzz::SeedConfig();
  fuzz::ControlledHost framingHost(*framingState);
  RemoteControlInterpreter framing;
  framing.Attach();

  auto deliverReplies = [&] {
    if (host.replies.empty()) return;
    steps.push_back(8);
    Append(steps, static_cast<uint16_t>(host.replies.size()));
    Append(steps, host.replies);
    console.Feed(host.replies.data(), host.replies.size());
    host.replies.clear();
  };
  auto step = [&](uint8_t op, auto&& command) {
    steps.push_back(op);
    command();
    Append(tcp, window.sent);
    // As the serial console sends them: each frame or payload in its own radio frame.
    size_t at = 0;
    while (at < window.sent.size()) {
      const size_t n = std::min(framing.ExpectedSize() - framing.FillCount(), window.sent.size() - at);
      const Bytes piece(window.sent.begin() + static_cast<std::ptrdiff_t>(at),
                        window.sent.begin() + static_cast<std::ptrdiff_t>(at + n));
      framing.Feed(piece.data(), piece.size(), framingHost);
      AppendArrival(radio, EncodeRadioFrame(piece));
      at += n;
    }
    interpreter.Feed(window.sent.data(), window.sent.size(), host);
    window.sent.clear();
    deliverReplies();
  };

  console.LinkOpening();
  console.LinkConnected();
  interpreter.Attach();
  // The controlled side's greeting to a new connection.
  Append(host.replies, RemoteCommandFrame{RemoteCommand::Connect, 1, 0});
  deliverReplies();
  // A serial console greets with command 11 first.
  Bytes greeting;
  Append(greeting, RemoteCommandFrame{RemoteCommand::RadioConnect, 0, 0});
  AppendArrival(radio, EncodeRadioFrame(greeting));

  step(4, [&] { console.QueryStatus(); });
  step(1, [&] { console.GetConfig(); });
  step(0, [&] { console.SendConfig(); });
  step(2, [&] { console.ToggleRecording(); });
  step(2, [&] { console.ToggleRecording(); });
  step(3, [&] { console.ToggleOscilloscope(); });
  step(6, [&] { console.SetAsServer(); });
  step(7, [&] { console.SetAsClient("192.168.1.20"); });
  step(5, [&] { console.SetAsAlone(); });
  // An unsolicited state change and a poll answer, as the peer sends them unasked.
  Bytes unasked;
  Append(unasked, RemoteCommandFrame{RemoteCommand::StateChanged, kRunRecording, 0});
  Append(unasked, RemoteCommandFrame{RemoteCommand::PollState, 7, kRunRecording});
  steps.push_back(8);
  Append(steps, static_cast<uint16_t>(unasked.size()));
  Append(steps, unasked);
  Bytes poll;
  Append(poll, RemoteCommandFrame{RemoteCommand::PollState, 0, 0});
  Append(tcp, poll);
  AppendArrival(radio, EncodeRadioFrame(poll));

  if (console.ConsoleBusy() != 0) Fail("the console still waits for a reply");
  Put("remote_control", "conversation", Prefixed(255, tcp));
  Put("remote_control", "conversation-split", Prefixed(0, tcp));
  Put("radio_frame", "conversation", radio);
  {
    auto state = std::make_unique<AppState>();
    state->config = fuzz::SeedConfig();
    fuzz::ControlledHost radioHost(*state);
    RemoteControlInterpreter radioInterpreter;
    fuzz::InputReader in(radio.data(), radio.size());
    const int frames = fuzz::PollRadioArrivals(in, radioInterpreter, radioHost);
    if (frames != 13 || radioHost.radioGreetings != 1) {
      Fail("the controlled side takes " + std::to_string(frames) + " of the 13 radio frames");
    }
  }
  Put("console_reply", "conversation", steps);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_fuzz_seeds <directory>\n";
    return 2;
  }
  root = argv[1];
  ConfigFiles();
  RecordFiles();
  OldRecordFiles();
  SettingsTexts();
  AlgorithmFiles();
  BrandingFiles();
  CoverFiles();
  ViewFiles();
  CodecSeeds();
  StationSeeds();
  RemoteSeeds();
  return failed ? 1 : 0;
}
