#pragma once

#include <QObject>
#include <QAbstractSocket>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "net/RemoteControl.h"

class QTcpServer;
class QTcpSocket;

namespace quelvar {

// The remote-control listener over QTcpServer. Connections are known by ids
// that stay valid while they are open, in order of arrival. Events come on
// the GUI thread through the callbacks; while a disconnect or error callback
// runs, the leaving connection is still counted. Reads hand over everything
// buffered, and are never delivered re-entrantly: bytes that arrive while a
// read callback runs a nested event loop are delivered when it returns.
class QtControlServer : public QObject {
  Q_OBJECT
 public:
  using ConnectionId = uint64_t;

  explicit QtControlServer(uint16_t port = kRemoteControlPort, QObject* parent = nullptr);
  // Closes everything without calling back.
  ~QtControlServer() override;

  // Listens on every IPv4 address; false when the port cannot be opened
  // (ErrorText says why). True when already listening.
  bool Open();
  // Stops listening and closes every connection, each reported as a
  // disconnect.
  void Close();
  bool IsOpen() const;
  // The port listened on: the one given, or the one chosen for port 0.
  uint16_t Port() const;
  std::string ErrorText() const { return errorText_; }

  int ConnectionCount() const { return static_cast<int>(connections_.size()); }
  std::optional<ConnectionId> ConnectionAt(int index) const;
  // Dotted IPv4 address of the peer, taken when it connected.
  std::string PeerAddress(ConnectionId id) const;
  // Queues the bytes without blocking; false when the connection is gone or
  // the socket refused them.
  bool Send(ConnectionId id, const uint8_t* data, size_t size);

  std::function<void(ConnectionId)> onConnect;
  std::function<void(ConnectionId, const uint8_t* data, size_t size)> onRead;
  std::function<void(ConnectionId)> onDisconnect;
  std::function<void(ConnectionId, const std::string& errorText)> onError;

 private:
  struct Connection {
    ConnectionId id;
    QTcpSocket* socket;
    std::string peer;
  };

  void AcceptPending();
  void DeliverReads();
  void SocketDisconnected(ConnectionId id);
  void SocketError(ConnectionId id, QAbstractSocket::SocketError error);
  const Connection* Find(ConnectionId id) const;
  // Forgets the connection and lets its socket go, without further events.
  void Drop(ConnectionId id);

  uint16_t port_;
  QTcpServer* server_;
  std::vector<Connection> connections_;
  ConnectionId nextId_ = 1;
  bool delivering_ = false;
  std::string errorText_;
};

}  // namespace quelvar
