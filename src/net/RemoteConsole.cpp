#include "net/RemoteConsole.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <span>

#include "platform/DayTime.h"
#include "platform/GbkText.h"
#include "shell/ConfigCommands.h"

namespace quelvar {

namespace {

constexpr size_t kFrameBytes = sizeof(RemoteCommandFrame);

bool SameCard(const ConfigRecord& a, const ConfigRecord& b) {
  const size_t lengthA = strnlen(a.CardName, sizeof a.CardName);
  const size_t lengthB = strnlen(b.CardName, sizeof b.CardName);
  return lengthA == lengthB && std::memcmp(a.CardName, b.CardName, lengthA) == 0;
}

std::string RunStateText(int32_t runState) {
  switch (runState) {
    case kRunIdle:
      return "准备状态";
    case kRunRecording:
      return "录波器/记录示波器状态";
    case kRunOscilloscope:
      return "双踪示波器状态";
    default:
      return {};
  }
}

std::string NetworkRoleText(int32_t role) {
  switch (role) {
    case kRoleAlone:
      return "脱机";
    case kRoleStation:
      return "现场采集站方式";
    case kRoleViewer:
      return "远程控制台方式";
    default:
      return {};
  }
}

}  // namespace

FetchedConfigResult ApplyFetchedConfig(AppState& state, const ConfigRecord& record) {
  if (record.PresentationMode != state.startup.PresentationMode) return FetchedConfigResult::WrongPresentation;
  // A run's buffers are laid out for the configuration it started with.
  if (state.RunState != kRunIdle) return FetchedConfigResult::OwnRunOn;
  // Checked before anything is kept aside or marked, so that a record that
  // cannot be applied changes nothing.
  if (!ValidateConfigRecord(record)) return FetchedConfigResult::Invalid;

  ConfigInForce& c = state.configInForce;
  FetchedConfigResult result = FetchedConfigResult::Applied;
  if (c.TempConfigActive == 1) {
    ApplyConfigRecord(record, state.config);
  } else {
    auto own = std::make_unique<ConfigRecord>();
    BuildConfigRecord(state.config, BuildExtrasOf(state), *own);
    if (SameCard(record, *own)) {
      ApplyConfigRecord(record, state.config);
    } else {
      EnterTemporaryConfig(state, record, kRemoteConfigCaption);
      result = FetchedConfigResult::AppliedAsTemporary;
    }
  }
  if (c.TempConfigActive == 1) c.SysParamCaption = kRemoteConfigCaption;
  return result;
}

int32_t ComPortFromText(const std::string& text, int32_t current) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return current;
  const size_t last = text.find_last_not_of(" \t");
  int32_t value = 0;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  const auto [at, error] = std::from_chars(begin, end, value);
  if (error != std::errc() || at != end) return current;
  return std::max(value, 1);
}

RemoteConsole::RemoteConsole(AppState& state, ConsoleOutputs& out) : state_(state), out_(out) { PrepareReplyBuffer(); }

// ---- The link ----

void RemoteConsole::LinkOpening() {
  consoleBusy_ = 0;
  out_.ShowStatus("等待被控方响应...");
}

void RemoteConsole::LinkConnected() {
  unaskedFill_ = 0;
  out_.ShowStatus("等待对方返回状态...");
  ShowConnectedState();
  // The peer greets every new connection.
  ExpectReply(RemoteCommand::Connect, kFrameBytes);
}

void RemoteConsole::LinkClosed() {
  Disconnect();
  out_.ShowStatus("对方断开连接!");
}

void RemoteConsole::LinkFailed() {
  if (consoleConnected_ == 1) Disconnect();
  out_.ShowStatus("网络发生错误!");
}

void RemoteConsole::Disconnect() {
  out_.CloseLink();
  unaskedFill_ = 0;
  out_.ShowConnected(false);
  out_.ShowStatus("准备就绪!");
  consoleConnected_ = 0;
  consoleBusy_ = 0;
}

void RemoteConsole::ShowConnectedState() {
  out_.ShowConnected(true);
  consoleConnected_ = 1;
}

// ---- Requests ----

bool RemoteConsole::RefusedWhileBusy() {
  if (consoleBusy_ != 1) return false;
  out_.ShowStatus("提示：上次遥控命令未完成...");
  return true;
}

bool RemoteConsole::CanSend() { return !RefusedWhileBusy() && consoleConnected_ == 1; }

void RemoteConsole::ExpectReply(int32_t command, size_t size) {
  consoleBusy_ = 1;
  pendingCommand_ = command;
  expectedSize_ = size;
  PrepareReplyBuffer();
}

void RemoteConsole::PrepareReplyBuffer() {
  if (replyBuffer_.size() < expectedSize_) replyBuffer_.resize(expectedSize_);
  fillCount_ = 0;
}

void RemoteConsole::SendRequest(int32_t command, size_t replySize, const std::string& status,
                                std::span<const uint8_t> payload) {
  request_.Command = command;
  // Waiting from before the request goes out, so a reply can never find the
  // console idle.
  ExpectReply(command, replySize);
  out_.Send(reinterpret_cast<const uint8_t*>(&request_), sizeof request_);
  if (!payload.empty()) out_.Send(payload.data(), payload.size());
  out_.ShowStatus(status);
}

void RemoteConsole::SendConfig() {
  if (!CanSend()) return;
  auto record = std::make_unique<ConfigRecord>();
  BuildConfigRecord(state_.config, BuildExtrasOf(state_), *record);
  request_.Arg1 = static_cast<int32_t>(kConfigRecordSize);
  SendRequest(RemoteCommand::SendConfig, kFrameBytes, "正在发送配置信息...",
              {reinterpret_cast<const uint8_t*>(record.get()), sizeof *record});
}

void RemoteConsole::GetConfig() {
  if (!CanSend()) return;
  SendRequest(RemoteCommand::GetConfig, kConfigRecordSize, "正在等待配置信息...");
}

void RemoteConsole::ToggleRecording() {
  if (!CanSend()) return;
  SendRequest(RemoteCommand::ToggleRecording, kFrameBytes, "正在启动对方" + state_.startup.WindowWord + "...");
}

void RemoteConsole::ToggleOscilloscope() {
  if (!CanSend()) return;
  SendRequest(RemoteCommand::ToggleOscilloscope, kFrameBytes, "正在启动对方双踪示波器...");
}

void RemoteConsole::QueryStatus() {
  if (!CanSend()) return;
  SendRequest(RemoteCommand::QueryStatus, sizeof(RemoteStatus), "正在取对方工作状态...");
}

void RemoteConsole::SetAsAlone() {
  if (!CanSend()) return;
  SendRequest(RemoteCommand::SetAsAlone, kFrameBytes, "正在置对方为脱机方式...");
}

void RemoteConsole::SetAsServer() {
  if (!CanSend()) return;
  SendRequest(RemoteCommand::SetAsServer, kFrameBytes, "正在置对方为现场采集站方式...");
}

void RemoteConsole::SetAsClient(const std::string& address) {
  if (!CanSend()) return;
  const std::string text = platform::Utf8ToGbk(address);
  // The peer refuses a longer address at once and would read its bytes as
  // commands: it is not sent.
  if (text.size() > static_cast<size_t>(kMaxRemoteAddressBytes)) {
    out_.ShowStatus("现场采集站IP地址太长!");
    return;
  }
  request_.Arg1 = static_cast<int32_t>(text.size());
  SendRequest(RemoteCommand::SetAsClient, kFrameBytes, "正在置对方为远程控制台方式...",
              {reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

// ---- Reading ----

void RemoteConsole::Feed(const uint8_t* data, size_t size) {
  // A connection ended while these bytes were read (a refused greeting)
  // takes nothing more.
  while (size > 0 && consoleConnected_ == 1) {
    size_t taken = 0;
    if (unaskedFill_ > 0 || consoleBusy_ != 1) {
      taken = TakeUnasked(data, size);
    } else {
      taken = TakeReply(data, size);
    }
    data += taken;
    size -= taken;
  }
}

size_t RemoteConsole::TakeUnasked(const uint8_t* data, size_t size) {
  // The peer sends its frames whole and in order, so they lie on 12-byte
  // boundaries however the reads cut them. A frame begun before a request
  // went out is finished before any of the reply.
  const size_t taken = std::min(size, kFrameBytes - unaskedFill_);
  std::memcpy(unasked_.data() + unaskedFill_, data, taken);
  unaskedFill_ += taken;
  if (unaskedFill_ == kFrameBytes) {
    unaskedFill_ = 0;
    RemoteCommandFrame frame;
    std::memcpy(&frame, unasked_.data(), sizeof frame);
    HandleUnsolicited(frame);
  }
  return taken;
}

size_t RemoteConsole::TakeReply(const uint8_t* data, size_t size) {
  // The first frame's worth is looked at alone: a frame the peer sent
  // unasked before the reply is no part of it.
  const size_t limit = fillCount_ < kFrameBytes ? kFrameBytes : expectedSize_;
  const size_t taken = std::min(size, limit - fillCount_);
  std::memcpy(replyBuffer_.data() + fillCount_, data, taken);
  fillCount_ += taken;
  if (fillCount_ == kFrameBytes && SentUnasked(ReplyFrame())) {
    fillCount_ = 0;
    HandleUnsolicited(ReplyFrame());
    return taken;
  }
  if (fillCount_ == expectedSize_) {
    HandleReply();
    consoleBusy_ = 0;
  }
  return taken;
}

bool RemoteConsole::SentUnasked(const RemoteCommandFrame& head) const {
  // The greeting comes before anything else and is judged by itself.
  if (pendingCommand_ == RemoteCommand::Connect) return false;
  switch (head.Command) {
    case RemoteCommand::PollState:
      // Only the radio link's own poll is answered with this code.
      return pendingCommand_ != RemoteCommand::PollState;
    case RemoteCommand::StateChanged:
      // The peer's state change stands in for the reply to a start or stop
      // (it comes first); to anything else it cannot be the reply.
      return pendingCommand_ != RemoteCommand::ToggleRecording &&
             pendingCommand_ != RemoteCommand::ToggleOscilloscope;
    default:
      return false;
  }
}

RemoteCommandFrame RemoteConsole::ReplyFrame() const {
  RemoteCommandFrame frame;
  std::memcpy(&frame, replyBuffer_.data(), sizeof frame);
  return frame;
}

void RemoteConsole::HandleReply() {
  switch (pendingCommand_) {
    case RemoteCommand::Connect:
      HandleGreeting(ReplyFrame());
      break;
    case RemoteCommand::SendConfig: {
      const RemoteCommandFrame reply = ReplyFrame();
      if (reply.Command != RemoteCommand::SendConfig) {
        out_.ShowStatus("送配置信息失败!");
      } else {
        out_.ShowStatus(reply.Arg1 == 1 ? "对方按本机配置信息设置成功!" : "对方拒绝按本机配置信息设置!");
      }
      break;
    }
    case RemoteCommand::GetConfig:
      HandleConfigReply();
      break;
    case RemoteCommand::ToggleRecording:
    case RemoteCommand::ToggleOscilloscope:
      HandleRunReply(ReplyFrame());
      break;
    case RemoteCommand::SetAsServer:
    case RemoteCommand::SetAsClient:
    case RemoteCommand::SetAsAlone:
      HandleRoleReply(ReplyFrame());
      break;
    case RemoteCommand::QueryStatus:
      HandleStatusReply();
      break;
    default:
      // The radio link's periodic poll (9) is the only other request, and
      // only the radio link sends it.
      break;
  }
}

void RemoteConsole::HandleGreeting(const RemoteCommandFrame& reply) {
  if (reply.Command != RemoteCommand::Connect) {
    Disconnect();
    out_.ShowStatus("对方未正确响应!");
    return;
  }
  // The peer counts its open connections, this one included.
  if (reply.Arg1 > 1) {
    Disconnect();
    out_.ShowStatus("对方已被别人控制!");
    return;
  }
  out_.ShowStatus("遥控对方成功!");
  ShowConnectedState();
  consoleBusy_ = 0;
}

void RemoteConsole::HandleConfigReply() {
  auto record = std::make_unique<ConfigRecord>();
  std::memcpy(record.get(), replyBuffer_.data(), sizeof *record);
  switch (ApplyFetchedConfig(state_, *record)) {
    case FetchedConfigResult::WrongPresentation:
      out_.ShowStatus("接收配置信息有误,如录波器与示波器混淆");
      return;
    case FetchedConfigResult::OwnRunOn:
      out_.ShowStatus("本机正在运行,不能接收配置信息!");
      return;
    case FetchedConfigResult::Invalid:
      out_.ShowStatus("配置信息非法!");
      return;
    case FetchedConfigResult::Applied:
      out_.ShowStatus("接收配置信息成功!");
      break;
    case FetchedConfigResult::AppliedAsTemporary:
      out_.ShowStatus("接收远程配置信息成功!");
      break;
  }
  out_.ConfigurationChanged();
}

void RemoteConsole::HandleRunReply(const RemoteCommandFrame& reply) {
  const std::string& word = state_.startup.WindowWord;
  // The peer's state-change frame comes before its reply and stands in for it.
  const bool answered = reply.Command == pendingCommand_ || reply.Command == RemoteCommand::StateChanged;
  if (pendingCommand_ == RemoteCommand::ToggleRecording) {
    if (!answered) {
      out_.ShowStatus("遥启对方" + word + "失败!");
      return;
    }
    const bool started = reply.Arg1 == kRunRecording;
    out_.ShowStatus("对方" + word + (started ? "已启动!" : "已停止!"));
    peerState_ = started ? kPeerRecording : kPeerStopped;
  } else {
    if (!answered) {
      out_.ShowStatus("遥启对方双踪示波器失败!");
      return;
    }
    const bool started = reply.Arg1 == kRunOscilloscope;
    out_.ShowStatus(started ? "对方双踪示波器已启动!" : "对方双踪示波器已停止!");
    peerState_ = started ? kPeerOscilloscope : kPeerStopped;
  }
  ShowPeerState();
}

void RemoteConsole::HandleRoleReply(const RemoteCommandFrame& reply) {
  if (reply.Command == pendingCommand_) {
    switch (reply.Arg1) {
      case kRoleAlone:
        out_.ShowStatus("对方为脱机模式!");
        break;
      case kRoleStation:
        out_.ShowStatus("对方为现场采集站模式!");
        break;
      case kRoleViewer:
        out_.ShowStatus("对方为远程控制台模式!");
        break;
      default:
        break;
    }
    return;
  }
  switch (pendingCommand_) {
    case RemoteCommand::SetAsAlone:
      out_.ShowStatus("设置对方脱机模式失败!");
      break;
    case RemoteCommand::SetAsServer:
      out_.ShowStatus("设置对方现场采集站模式失败!");
      break;
    default:
      out_.ShowStatus("设置对方远程控制台模式失败!");
      break;
  }
}

void RemoteConsole::HandleStatusReply() {
  RemoteStatus status;
  std::memcpy(&status, replyBuffer_.data(), sizeof status);
  if (status.Command != RemoteCommand::QueryStatus) {
    out_.ShowStatus("取状态信息失败!");
    return;
  }
  std::string hint = status.ProgramKind == 0 ? "对方工作于录波器方式!" : "对方工作于记录示波器方式!";
  hint += "\r\n 程序启动于" + platform::FormatDayCount(status.StartTime, "yyyy-mm-dd hh:nn:ss");
  hint += "\r\n  这是第 " + std::to_string(status.StartNum) + " 次运行!";
  hint += "\r\n 使用AD板类型:" + platform::ReadGbkField(status.CardName, sizeof status.CardName);
  hint += "\r\n 程序运行于" + RunStateText(status.RunState);
  hint += "\r\n 网络状态为:" + NetworkRoleText(status.NetworkRole);
  out_.SetQueryHint(hint);
  peerState_ = status.RunState;
  ShowPeerState();
  out_.ShowStatus("取对方工作状态成功!");
}

void RemoteConsole::HandleUnsolicited(const RemoteCommandFrame& frame) {
  if (frame.Command == RemoteCommand::PollState) {
    // {9, the block's sequence word, RunState}, one per block of a run.
    const std::string seq = std::to_string(frame.Arg1);
    if (frame.Arg2 == kRunRecording) {
      out_.ShowStatus("受控方为录波器，SeqNo=" + seq);
      peerState_ = kPeerRecording;
    } else {
      out_.ShowStatus("受控方为示波器，SeqNo=" + seq);
      peerState_ = kPeerOscilloscope;
    }
    ShowPeerState();
  } else if (frame.Command == RemoteCommand::StateChanged) {
    peerState_ = frame.Arg1 == kRunRecording || frame.Arg1 == kRunOscilloscope ? frame.Arg1 : kPeerStopped;
    ShowPeerState();
  }
}

void RemoteConsole::ShowPeerState() {
  switch (peerState_) {
    case kPeerStopped:
      out_.SetStartHints("还未启动");
      out_.ShowStatus("受控方已停止采集");
      break;
    case kPeerRecording:
      out_.SetStartHints("已启动录波器");
      break;
    case kPeerOscilloscope:
      out_.SetStartHints("已启动示波器");
      break;
    default:
      out_.SetStartHints("状态未知");
      break;
  }
}

}  // namespace quelvar
