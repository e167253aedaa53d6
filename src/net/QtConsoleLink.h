#pragma once

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/RemoteControl.h"

class QTcpSocket;

namespace quelvar {

class RemoteConsole;

// The console's connection to the peer's remote-control port
// (ClientSocket_Control). Every byte that arrives goes to the console, in the
// order it came; what the console sends goes out queued. Connects, failures
// and the peer's close are reported by signal, on the GUI thread.
class QtConsoleLink : public QObject {
  Q_OBJECT
 public:
  explicit QtConsoleLink(RemoteConsole& console, uint16_t port = kRemoteControlPort, QObject* parent = nullptr);
  ~QtConsoleLink() override;

  // Connects to `address`, a dotted IPv4 address, dropping any earlier
  // connection quietly first; false, with nothing started, when the address
  // is not one. The outcome comes by signal.
  bool Open(const std::string& address);
  // Closes the connection without a signal.
  void Close();
  bool IsConnected() const;
  // Queued; nothing when not connected.
  void Send(const uint8_t* data, size_t size);
  uint16_t Port() const { return port_; }
  // Why the last failure happened, as the socket says it.
  std::string ErrorText() const { return errorText_; }

 signals:
  void Connected();
  // Any failure but the peer closing its end: a refused or lost connection.
  void Failed();
  // The peer closed its end.
  void Disconnected();

 private:
  void FeedConsole();

  RemoteConsole& console_;
  uint16_t port_;
  QTcpSocket* socket_ = nullptr;
  std::string errorText_;
};

}  // namespace quelvar
