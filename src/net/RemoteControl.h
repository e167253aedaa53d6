#pragma once

#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "common/AppState.h"
#include "shell/ConfigRecord.h"

namespace quelvar {

// The remote-control protocol (TCP port 2001, or radio frames on a COM
// port): a controller, another instance's console, sends 12-byte command
// frames, some followed by a payload; the controlled side answers each with a
// frame, a status record or its configuration record. Everything travels
// little-endian, as it lies in memory.
static_assert(std::endian::native == std::endian::little, "frames travel as they lie in memory");

inline constexpr uint16_t kRemoteControlPort = 2001;

namespace RemoteCommand {
inline constexpr int32_t Connect = 0;             // greeting: {0, connections now open}
inline constexpr int32_t SendConfig = 1;          // {1, 40728} + the record; reply {1, applied}
inline constexpr int32_t GetConfig = 2;           // reply: the record alone
inline constexpr int32_t ToggleRecording = 3;     // reply {3, RunState}
inline constexpr int32_t ToggleOscilloscope = 4;  // reply {4, RunState}
inline constexpr int32_t SetAsServer = 5;         // reply {5, role}
inline constexpr int32_t SetAsClient = 6;         // {6, n} + n bytes of address; reply {6, role}
inline constexpr int32_t SetAsAlone = 7;          // reply {7, role}
inline constexpr int32_t QueryStatus = 8;         // reply: a RemoteStatus
inline constexpr int32_t PollState = 9;           // reply {9, LastSeqNo, RunState}
inline constexpr int32_t StateChanged = 10;       // unsolicited {10, RunState}
inline constexpr int32_t RadioConnect = 11;       // serial link only
}  // namespace RemoteCommand

struct RemoteCommandFrame {
  int32_t Command;
  int32_t Arg1;
  int32_t Arg2;  // unused by most commands; receivers ignore it
};
static_assert(std::is_standard_layout_v<RemoteCommandFrame> && std::is_trivially_copyable_v<RemoteCommandFrame>);
static_assert(sizeof(RemoteCommandFrame) == 12);
static_assert(offsetof(RemoteCommandFrame, Command) == 0);
static_assert(offsetof(RemoteCommandFrame, Arg1) == 4);
static_assert(offsetof(RemoteCommandFrame, Arg2) == 8);

inline constexpr size_t kRemoteCardNameBytes = 20;

// The reply to QueryStatus.
struct RemoteStatus {
  int32_t Command;      // 8
  int32_t ProgramKind;  // PresentationMode: 0 wave recorder, 1 recording oscilloscope
  int32_t RunState;
  int32_t NetworkRole;
  double StartTime;  // start of this run of the program, days since 1899-12-30
  int32_t StartNum;  // the program's run counter
  char CardName[kRemoteCardNameBytes];  // GBK, NUL-terminated, empty when there is none
};
static_assert(std::is_standard_layout_v<RemoteStatus> && std::is_trivially_copyable_v<RemoteStatus>);
static_assert(sizeof(RemoteStatus) == 48);
static_assert(offsetof(RemoteStatus, Command) == 0);
static_assert(offsetof(RemoteStatus, ProgramKind) == 4);
static_assert(offsetof(RemoteStatus, RunState) == 8);
static_assert(offsetof(RemoteStatus, NetworkRole) == 12);
static_assert(offsetof(RemoteStatus, StartTime) == 16);
static_assert(offsetof(RemoteStatus, StartNum) == 24);
static_assert(offsetof(RemoteStatus, CardName) == 28);

// The longest station address SetAsClient may announce: longer than any host
// name, so a length beyond it can only be a fault, and the command buffer
// never grows past the configuration record.
inline constexpr int32_t kMaxRemoteAddressBytes = 255;

// What the status reply reports (UTF-8 card name).
struct RemoteStatusValues {
  int32_t ProgramKind = 0;
  int32_t RunState = 0;
  int32_t NetworkRole = 0;
  double StartTime = 0.0;
  int32_t StartNum = 0;
  std::string CardName;
};

RemoteStatus MakeRemoteStatus(const RemoteStatusValues& values);

// SendConfig's effect: the controller's record becomes a temporary
// configuration, the own one kept aside first. Refused while a run is on,
// since the run's buffers are laid out for the configuration in force.
// 1 applied; 0 rejected, with nothing changed.
int32_t ApplyRemoteConfig(AppState& state, const ConfigRecord& record);

// What the interpreter asks of the program, and the channel its replies go
// back on (the connection that completed the message).
class RemoteControlHost {
 public:
  virtual ~RemoteControlHost() = default;
  // 1 applied, 0 rejected (nothing changed).
  virtual int32_t ApplyConfig(const ConfigRecord& record) = 0;
  virtual void BuildConfig(ConfigRecord& out) = 0;
  // The recorder's and the oscilloscope's start/stop commands; each returns
  // RunState afterwards.
  virtual int32_t ToggleRecording() = 0;
  virtual int32_t ToggleOscilloscope() = 0;
  // The role commands; each returns the role now in force (0 standalone,
  // 1 station, 2 viewer).
  virtual int32_t BecomeStation() = 0;
  virtual int32_t BecomeStandalone() = 0;
  virtual int32_t BecomeViewerOf(const std::string& address) = 0;
  virtual int32_t RoleInForce() = 0;
  virtual RemoteStatusValues StatusValues() = 0;
  virtual uint16_t LastSeqNo() = 0;
  virtual int32_t RunState() = 0;
  // True when the message being handled came over the serial link (radio
  // frames on the controlled COM port), false for a TCP connection.
  virtual bool SerialLink() = 0;
  // RadioConnect arrived over the serial link: its greeting. The host
  // answers it with 12 zero bytes as a radio frame on the controlled COM
  // port and logs the controller; the interpreter has attached it.
  virtual void RadioConnect() = 0;
  virtual void SendReply(const uint8_t* data, size_t size) = 0;
};

// The controlled side's interpreter: collects frames and payloads from
// whatever bytes arrive, in any split, and runs each complete one.
class RemoteControlInterpreter {
 public:
  RemoteControlInterpreter();
  ~RemoteControlInterpreter();
  RemoteControlInterpreter(const RemoteControlInterpreter&) = delete;
  RemoteControlInterpreter& operator=(const RemoteControlInterpreter&) = delete;

  // A controller is attached: the next bytes are a frame. `connection` is
  // the TCP connection that commands from now on; none for the serial link.
  void Attach(std::optional<uint64_t> connection = std::nullopt);
  // The controller is gone.
  void Detach();
  // Whether `connection` is the attached controller's: only its bytes are
  // commands, and only its leaving detaches it.
  bool IsController(uint64_t connection) const {
    return controllerConnected_ == 1 && controllerConnection_ == connection;
  }
  std::optional<uint64_t> ControllerConnection() const {
    return controllerConnected_ == 1 ? controllerConnection_ : std::nullopt;
  }
  // The next bytes are a frame, whatever was half received; attaches no
  // controller (the COM port has just been opened).
  void RestartFraming();

  // Takes every byte given; each time a frame or payload is complete,
  // `handleComplete` runs (it calls HandleRemoteCommand with the reply
  // channel of the connection that completed it).
  template <std::invocable HandleComplete>
  void Feed(const uint8_t* data, size_t size, HandleComplete&& handleComplete) {
    while (size > 0) {
      const size_t taken = Receive(data, size);
      data += taken;
      size -= taken;
      if (fillCount_ == expectedSize_) handleComplete();
    }
  }
  void Feed(const uint8_t* data, size_t size, RemoteControlHost& host) {
    Feed(data, size, [this, &host] { HandleRemoteCommand(host); });
  }

  // Runs the complete frame or payload in the command buffer.
  void HandleRemoteCommand(RemoteControlHost& host);

  int32_t ExpectCommandFrame() const { return expectCommandFrame_; }
  int32_t ControllerConnected() const { return controllerConnected_; }
  size_t ExpectedSize() const { return expectedSize_; }
  size_t FillCount() const { return fillCount_; }
  int32_t LastCode() const { return lastCode_; }
  // Bytes the command buffer holds room for.
  size_t BufferCapacity() const { return buffer_.size(); }

 private:
  // Copies at most what the current message lacks; returns the bytes taken.
  size_t Receive(const uint8_t* data, size_t size);
  void HandleFrame(RemoteControlHost& host);
  void HandlePayload(RemoteControlHost& host);
  void ExpectPayload(size_t size);
  void ExpectFrame();
  void PrepareCommandBuffer();
  void ReplyFrame(RemoteControlHost& host, int32_t command, int32_t arg1, int32_t arg2 = 0);
  ConfigRecord& Record();

  std::vector<uint8_t> buffer_;
  size_t expectedSize_ = sizeof(RemoteCommandFrame);
  size_t fillCount_ = 0;
  int32_t expectCommandFrame_ = 0;
  int32_t controllerConnected_ = 0;
  std::optional<uint64_t> controllerConnection_;
  int32_t lastCode_ = 0;
  // The record applied or sent, made at its first use.
  std::unique_ptr<ConfigRecord> record_;
};

}  // namespace quelvar
