#pragma once

// Plain stand-ins for the main window behind the network parsers: they act as
// the program does on the state they are given and keep what is sent, so the
// seed writer can capture a real conversation and the targets can replay
// anything.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "net/RemoteConsole.h"
#include "net/RemoteControl.h"
#include "net/StationSend.h"
#include "net/ViewerReceive.h"

namespace quelvar::fuzz {

using Bytes = std::vector<uint8_t>;

// A fuzzed station may announce any layout; the host refuses blocks above
// this, standing in for the start preparation's allocation limit, which is
// far more than a fuzzing process may take.
inline constexpr uint64_t kMaxFuzzBlockBytes = uint64_t{1} << 20;

// The controlled side's main window.
class ControlledHost final : public RemoteControlHost {
 public:
  explicit ControlledHost(AppState& state) : state_(state) {}

  int32_t ApplyConfig(const ConfigRecord& record) override;
  void BuildConfig(ConfigRecord& out) override;
  int32_t ToggleRecording() override;
  int32_t ToggleOscilloscope() override;
  int32_t BecomeStation() override { return role_ = 1; }
  int32_t BecomeStandalone() override { return role_ = 0; }
  int32_t BecomeViewerOf(const std::string& address) override;
  int32_t RoleInForce() override { return role_; }
  RemoteStatusValues StatusValues() override;
  uint16_t LastSeqNo() override { return 7; }
  int32_t RunState() override { return state_.RunState; }
  void RadioConnect() override { ++radioGreetings; }
  void SendReply(const uint8_t* data, size_t size) override { replies.insert(replies.end(), data, data + size); }
  bool SerialLink() override { return serial; }

  Bytes replies;
  int radioGreetings = 0;
  bool serial = false;  // the messages come as radio frames

 private:
  AppState& state_;
  int32_t role_ = 0;
};

// The console's window: what is sent is kept.
class ConsoleWindow final : public ConsoleOutputs {
 public:
  void ShowStatus(const std::string&) override {}
  void ShowConnected(bool) override {}
  void SetQueryHint(const std::string&) override {}
  void SetStartHints(const std::string&) override {}
  void Send(const uint8_t* data, size_t size) override { sent.insert(sent.end(), data, data + size); }
  void CloseLink() override {}
  void ConfigurationChanged() override {}

  Bytes sent;
};

// The viewer's main window: the station's record is applied and laid out as
// the program does; blocks are only checked for their size.
class ViewerWindow final : public ViewerHost {
 public:
  explicit ViewerWindow(LiveConfig& config) : config_(config) {}
  void Attach(ViewerReceiver& receiver) { receiver_ = &receiver; }

  bool TakesStream() override { return running_; }
  void PostStatus(const std::string&) override {}
  void AppendRunLog(const std::string&) override {}
  void ApplyStationConfig(const ConfigRecord& record) override;
  bool PrepareStart() override;
  void StopRunningMode() override;
  void SendBlockAck(const uint8_t* ack, size_t size) override;
  void AcceptBlock(const uint8_t* block, size_t size) override;
  double Now() override { return 46000.5; }

  int blocks = 0;

 private:
  LiveConfig& config_;
  ViewerReceiver* receiver_ = nullptr;
  bool running_ = true;
};

// The station's connection list with one viewer; everything sent is kept.
class StationSink final : public StationConnections, public StationWindowOutputs {
 public:
  int Count() const override { return 1; }
  uint64_t IdAt(int) const override { return 1; }
  void Send(int, const uint8_t* data, size_t size) override { sent.insert(sent.end(), data, data + size); }
  void RequestNotSamplingTimer(uint64_t, int) override {}
  void SetRatioText(const std::string&) override {}
  void SetGridText(int, int, const std::string&) override {}

  Bytes sent;
};

class InputReader;

// The controlled side's COM port polled as the program polls it, with the
// input arriving on it: a series of arrivals, each a length byte and that
// many bytes (lengths from 128 up count in 512-byte steps, so a
// configuration record can arrive whole). The port is polled after each
// arrival, then until a stale frame would be flushed. Returns the frames
// received.
int PollRadioArrivals(InputReader& in, RemoteControlInterpreter& interpreter, ControlledHost& host);

}  // namespace quelvar::fuzz
