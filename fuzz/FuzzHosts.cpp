#include "FuzzHosts.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <span>

#include "FuzzSupport.h"
#include "net/ControlledComPoll.h"
#include "net/StationStream.h"
#include "shell/ConfigCommands.h"

namespace quelvar::fuzz {

namespace {

// The port's input queue: what has arrived and is not read yet.
class QueuePort {
 public:
  void Arrive(std::span<const uint8_t> bytes) {
    const size_t room = kRadioQueueBytes - queue_.size();
    queue_.insert(queue_.end(), bytes.begin(), bytes.begin() + std::min(room, bytes.size()));
  }
  int QueueStatus(uint32_t& in, uint32_t& out) {
    in = static_cast<uint32_t>(queue_.size());
    out = 0;
    return 1;
  }
  uint32_t Read(uint8_t* buffer, uint32_t size) {
    const uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(queue_.size()));
    std::copy_n(queue_.begin(), n, buffer);
    queue_.erase(queue_.begin(), queue_.begin() + n);
    return n;
  }

 private:
  std::deque<uint8_t> queue_;
};

}  // namespace

int32_t ControlledHost::ApplyConfig(const ConfigRecord& record) {
  const int32_t applied = ApplyRemoteConfig(state_, record);
  if (applied) TakeConfig(state_.config);
  return applied;
}

void ControlledHost::BuildConfig(ConfigRecord& out) {
  BuildConfigRecord(state_.config, BuildExtrasOf(state_), out);
}

int32_t ControlledHost::ToggleRecording() {
  state_.RunState = state_.RunState == kRunIdle ? kRunRecording : kRunIdle;
  return state_.RunState;
}

int32_t ControlledHost::ToggleOscilloscope() {
  state_.RunState = state_.RunState == kRunIdle ? kRunOscilloscope : kRunIdle;
  return state_.RunState;
}

int32_t ControlledHost::BecomeViewerOf(const std::string& address) {
  if (address.size() > kMaxRemoteAddressBytes) std::abort();
  return role_ = 2;
}

RemoteStatusValues ControlledHost::StatusValues() {
  RemoteStatusValues values;
  values.RunState = state_.RunState;
  values.NetworkRole = role_;
  values.StartTime = 46000.25;
  values.StartNum = 3;
  values.CardName = state_.config.CardNameText;
  return values;
}

void ViewerWindow::ApplyStationConfig(const ConfigRecord& record) {
  if (ApplyConfigRecord(record, config_)) TakeConfig(config_);
}

bool ViewerWindow::PrepareStart() {
  const uint64_t r = RawBlockBytes(config_.NumChn, config_.NumSamp);
  return r != 0 && r <= kMaxFuzzBlockBytes;
}

void ViewerWindow::StopRunningMode() {
  running_ = false;
  if (receiver_ != nullptr) receiver_->Close();
}

void ViewerWindow::SendBlockAck(const uint8_t*, size_t size) {
  if (size != kBlockAckBytes) std::abort();
}

void ViewerWindow::AcceptBlock(const uint8_t*, size_t size) {
  if (size != RawBlockBytes(config_.NumChn, config_.NumSamp)) std::abort();
  ++blocks;
}

int PollRadioArrivals(InputReader& in, RemoteControlInterpreter& interpreter, ControlledHost& host) {
  host.serial = true;
  interpreter.RestartFraming();
  RadioFrameReader reader(true);
  QueuePort port;
  int received = 0;
  auto poll = [&] {
    if (PollControlledComPort(reader, port, interpreter, host) == RadioPoll::Received) ++received;
  };
  while (!in.Empty()) {
    const uint8_t length = in.Byte();
    port.Arrive(in.Take(length < 128 ? length : size_t{length - 127u} * 512));
    poll();
  }
  for (int i = 0; i <= RadioFrameReader::kStalePolls + 1; ++i) poll();
  return received;
}

}  // namespace quelvar::fuzz
