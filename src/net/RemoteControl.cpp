#include "net/RemoteControl.h"

#include <algorithm>
#include <cstring>

#include "platform/GbkText.h"
#include "shell/ConfigCommands.h"

namespace quelvar {

RemoteStatus MakeRemoteStatus(const RemoteStatusValues& values) {
  RemoteStatus status{};
  status.Command = RemoteCommand::QueryStatus;
  status.ProgramKind = values.ProgramKind;
  status.RunState = values.RunState;
  status.NetworkRole = values.NetworkRole;
  status.StartTime = values.StartTime;
  status.StartNum = values.StartNum;
  platform::WriteGbkField(values.CardName, status.CardName, sizeof status.CardName);
  return status;
}

int32_t ApplyRemoteConfig(AppState& state, const ConfigRecord& record) {
  if (state.RunState != kRunIdle) return 0;
  if (!ValidateConfigRecord(record)) return 0;
  return EnterTemporaryConfig(state, record, kRemoteConfigCaption);
}

RemoteControlInterpreter::RemoteControlInterpreter() { PrepareCommandBuffer(); }

RemoteControlInterpreter::~RemoteControlInterpreter() = default;

void RemoteControlInterpreter::Attach(std::optional<uint64_t> connection) {
  ExpectFrame();
  controllerConnected_ = 1;
  controllerConnection_ = connection;
}

void RemoteControlInterpreter::RestartFraming() { ExpectFrame(); }

void RemoteControlInterpreter::Detach() {
  expectCommandFrame_ = 0;
  controllerConnected_ = 0;
  controllerConnection_.reset();
}

size_t RemoteControlInterpreter::Receive(const uint8_t* data, size_t size) {
  const size_t taken = std::min(size, expectedSize_ - fillCount_);
  std::memcpy(buffer_.data() + fillCount_, data, taken);
  fillCount_ += taken;
  return taken;
}

void RemoteControlInterpreter::HandleRemoteCommand(RemoteControlHost& host) {
  if (expectCommandFrame_ == 1) {
    HandleFrame(host);
  } else {
    HandlePayload(host);
  }
}

void RemoteControlInterpreter::HandleFrame(RemoteControlHost& host) {
  RemoteCommandFrame frame;
  std::memcpy(&frame, buffer_.data(), sizeof frame);
  lastCode_ = frame.Command;
  switch (frame.Command) {
    case RemoteCommand::SendConfig:
      // The record's size is fixed; Arg1 does not set it.
      ExpectPayload(kConfigRecordSize);
      return;
    case RemoteCommand::SetAsClient:
      if (frame.Arg1 >= 1 && frame.Arg1 <= kMaxRemoteAddressBytes) {
        ExpectPayload(static_cast<size_t>(frame.Arg1));
        return;
      }
      // No address can be this long (or empty): refused without reading
      // anything, and the next bytes are a frame again.
      ReplyFrame(host, RemoteCommand::SetAsClient, host.RoleInForce());
      break;
    case RemoteCommand::GetConfig: {
      ConfigRecord& record = Record();
      host.BuildConfig(record);
      host.SendReply(reinterpret_cast<const uint8_t*>(&record), sizeof record);
      break;
    }
    case RemoteCommand::ToggleRecording:
      ReplyFrame(host, RemoteCommand::ToggleRecording, host.ToggleRecording());
      break;
    case RemoteCommand::ToggleOscilloscope:
      ReplyFrame(host, RemoteCommand::ToggleOscilloscope, host.ToggleOscilloscope());
      break;
    case RemoteCommand::SetAsServer:
      ReplyFrame(host, RemoteCommand::SetAsServer, host.BecomeStation());
      break;
    case RemoteCommand::SetAsAlone:
      ReplyFrame(host, RemoteCommand::SetAsAlone, host.BecomeStandalone());
      break;
    case RemoteCommand::QueryStatus: {
      const RemoteStatus status = MakeRemoteStatus(host.StatusValues());
      host.SendReply(reinterpret_cast<const uint8_t*>(&status), sizeof status);
      break;
    }
    case RemoteCommand::PollState:
      ReplyFrame(host, RemoteCommand::PollState, host.LastSeqNo(), host.RunState());
      break;
    case RemoteCommand::RadioConnect:
      // The serial link's greeting only: over TCP the controller is
      // attached already, and this would log a COM controller and answer on
      // a port nobody uses.
      if (!host.SerialLink()) break;
      controllerConnected_ = 1;
      controllerConnection_.reset();
      host.RadioConnect();
      break;
    default:
      // Unknown codes, and the two that only travel to the controller, are
      // ignored; the framing goes on.
      break;
  }
  ExpectFrame();
}

void RemoteControlInterpreter::HandlePayload(RemoteControlHost& host) {
  switch (lastCode_) {
    case RemoteCommand::SendConfig: {
      ConfigRecord& record = Record();
      std::memcpy(&record, buffer_.data(), sizeof record);
      ReplyFrame(host, RemoteCommand::SendConfig, host.ApplyConfig(record));
      break;
    }
    case RemoteCommand::SetAsClient: {
      // Address text, GBK on the wire; a NUL ends it.
      const auto* text = reinterpret_cast<const char*>(buffer_.data());
      const std::string address = platform::GbkToUtf8(std::string(text, strnlen(text, fillCount_)));
      ReplyFrame(host, RemoteCommand::SetAsClient, host.BecomeViewerOf(address));
      break;
    }
    default:
      break;
  }
  ExpectFrame();
}

void RemoteControlInterpreter::ExpectPayload(size_t size) {
  expectedSize_ = size;
  expectCommandFrame_ = 0;
  PrepareCommandBuffer();
}

void RemoteControlInterpreter::ExpectFrame() {
  expectedSize_ = sizeof(RemoteCommandFrame);
  expectCommandFrame_ = 1;
  PrepareCommandBuffer();
}

void RemoteControlInterpreter::PrepareCommandBuffer() {
  // Grows to the largest message seen, never shrinks: at most the
  // configuration record, since an address is bounded far below it.
  if (buffer_.size() < expectedSize_) buffer_.resize(expectedSize_);
  fillCount_ = 0;
}

void RemoteControlInterpreter::ReplyFrame(RemoteControlHost& host, int32_t command, int32_t arg1, int32_t arg2) {
  const RemoteCommandFrame reply{command, arg1, arg2};
  host.SendReply(reinterpret_cast<const uint8_t*>(&reply), sizeof reply);
}

ConfigRecord& RemoteControlInterpreter::Record() {
  if (!record_) record_ = std::make_unique<ConfigRecord>();
  return *record_;
}

}  // namespace quelvar
