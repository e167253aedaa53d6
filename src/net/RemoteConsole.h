#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/AppState.h"
#include "net/RemoteControl.h"
#include "shell/ConfigRecord.h"

namespace quelvar {

// What the controlled side is doing, as the console last heard it.
inline constexpr int32_t kPeerStopped = 0;
inline constexpr int32_t kPeerRecording = 1;
inline constexpr int32_t kPeerOscilloscope = 2;

// What the console's state machine shows, and where its bytes go.
class ConsoleOutputs {
 public:
  virtual ~ConsoleOutputs() = default;
  virtual void ShowStatus(const std::string& text) = 0;
  // Connected: the connect button offers to end the connection, the eight
  // command buttons are enabled and the link choice is locked. Disconnected:
  // the reverse.
  virtual void ShowConnected(bool connected) = 0;
  virtual void SetQueryHint(const std::string& text) = 0;
  // The hint of both start buttons.
  virtual void SetStartHints(const std::string& text) = 0;
  // Queued on the link; nothing when it is closed.
  virtual void Send(const uint8_t* data, size_t size) = 0;
  // Closes the link quietly: no disconnect is reported for it.
  virtual void CloseLink() = 0;
  // A fetched configuration is in force: the settings menu and the data on
  // display follow.
  virtual void ConfigurationChanged() = 0;
};

// How a fetched configuration record was taken.
enum class FetchedConfigResult {
  WrongPresentation,   // the other presentation mode: refused, nothing changed
  OwnRunOn,            // this instance records or runs the oscilloscope: refused
  Invalid,             // the record fails the checks: refused, nothing changed
  Applied,             // in force, as the own or as the temporary one already active
  AppliedAsTemporary,  // another card's: in force, the own record kept aside
};

// Puts a record fetched from the peer in force: one of the same card replaces
// the own configuration, one of another card becomes a temporary one (the
// own kept in OwnConfigRecord); while a temporary one is active it is simply
// replaced. The settings menu then names a remote configuration.
FetchedConfigResult ApplyFetchedConfig(AppState& state, const ConfigRecord& record);

// The number in a COM-port edit: an unreadable text keeps `current`, a
// number below 1 becomes 1.
int32_t ComPortFromText(const std::string& text, int32_t current);

// The console's side of the remote-control protocol: one request at a time,
// its reply collected from bytes in any split, and the frames the peer sends
// unasked, taken 12 bytes at a time whether or not a reply is awaited.
// Everything given to Feed is consumed.
class RemoteConsole {
 public:
  RemoteConsole(AppState& state, ConsoleOutputs& out);
  RemoteConsole(const RemoteConsole&) = delete;
  RemoteConsole& operator=(const RemoteConsole&) = delete;

  // The link is being opened.
  void LinkOpening();
  // The TCP connection stands: the peer's greeting is awaited.
  void LinkConnected();
  // The peer closed the connection.
  void LinkClosed();
  // The connection failed or broke.
  void LinkFailed();
  // Ends the connection from this side.
  void Disconnect();

  // Every command first checks this: true (and the hint shown) while a
  // reply is awaited.
  bool RefusedWhileBusy();
  // The commands; each does nothing while busy (but say so) or unconnected.
  void SendConfig();
  void GetConfig();
  void ToggleRecording();
  void ToggleOscilloscope();
  void QueryStatus();
  void SetAsAlone();
  void SetAsServer();
  // `address` is the station's address for the peer's viewer role (UTF-8;
  // sent as GBK without a terminator).
  void SetAsClient(const std::string& address);

  // Bytes read from the link.
  void Feed(const uint8_t* data, size_t size);

  int32_t ConsoleConnected() const { return consoleConnected_; }
  int32_t ConsoleBusy() const { return consoleBusy_; }
  int32_t PendingCommand() const { return pendingCommand_; }
  int32_t PeerState() const { return peerState_; }
  size_t ExpectedSize() const { return expectedSize_; }
  size_t FillCount() const { return fillCount_; }

 private:
  bool CanSend();
  void SendRequest(int32_t command, size_t replySize, const std::string& status, std::span<const uint8_t> payload = {});
  void ExpectReply(int32_t command, size_t size);
  void PrepareReplyBuffer();
  void ShowConnectedState();
  void HandleReply();
  void HandleGreeting(const RemoteCommandFrame& reply);
  void HandleConfigReply();
  void HandleRunReply(const RemoteCommandFrame& reply);
  void HandleRoleReply(const RemoteCommandFrame& reply);
  void HandleStatusReply();
  size_t TakeUnasked(const uint8_t* data, size_t size);
  size_t TakeReply(const uint8_t* data, size_t size);
  // Whether a frame at the head of an awaited reply was sent unasked.
  bool SentUnasked(const RemoteCommandFrame& head) const;
  void HandleUnsolicited(const RemoteCommandFrame& frame);
  void ShowPeerState();
  RemoteCommandFrame ReplyFrame() const;

  AppState& state_;
  ConsoleOutputs& out_;
  int32_t consoleConnected_ = 0;
  int32_t consoleBusy_ = 0;
  int32_t pendingCommand_ = 0;
  int32_t peerState_ = kPeerStopped;
  // One request frame for every request: fields a request does not set keep
  // their earlier values, which the peer ignores.
  RemoteCommandFrame request_{};
  std::vector<uint8_t> replyBuffer_;
  size_t expectedSize_ = sizeof(RemoteCommandFrame);
  size_t fillCount_ = 0;
  // A frame sent unasked, as far as it has come.
  std::array<uint8_t, sizeof(RemoteCommandFrame)> unasked_{};
  size_t unaskedFill_ = 0;
};

}  // namespace quelvar
