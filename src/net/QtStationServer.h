#pragma once

#include <QByteArray>
#include <QObject>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/StationSend.h"

class QTcpServer;
class QTcpSocket;

namespace quelvar {

// The station stream's port unless told otherwise.
inline constexpr uint16_t kStationStreamPort = 2000;

// The station's listener (ServerSocket1) and its viewer connections, in the
// order they came. Everything happens on the GUI thread; sends are queued by
// the socket and never block. The protocol is the core's (StationSend): this
// class only carries bytes and reports connects, disconnects, reads and errors.
class QtStationServer : public QObject, public StationConnections {
  Q_OBJECT
 public:
  // `port` 0 lets the system choose one (tests); ServerPort tells which.
  explicit QtStationServer(uint16_t port = kStationStreamPort, QObject* parent = nullptr);
  ~QtStationServer() override;

  // Listens on every interface; false when the port cannot be had.
  bool Open();
  bool IsOpen() const;
  // Closes the listener and every connection with it.
  void Close();
  uint16_t ServerPort() const;

  int Count() const override;
  // A number of our own, never given to two connections, so a delayed
  // message cannot reach a later viewer that got the same socket handle.
  uint64_t IdAt(int index) const override;
  void Send(int index, const uint8_t* data, size_t size) override;
  void RequestNotSamplingTimer(uint64_t connectionId, int delayMs) override;

  // What the station window shows of a connection.
  int64_t HandleAt(int index) const;
  // Dotted IPv4 text where the peer has one, else the address as Qt gives it;
  // empty once the socket has lost its peer.
  std::string PeerAddressAt(int index) const;
  int IndexOf(uint64_t connectionId) const;  // -1 when gone
  // What the connection's last read left of an answer; null when gone.
  BlockAckAccumulator* PendingAckAt(int index);
  // Drops one connection at once, without a disconnect report.
  void CloseConnection(uint64_t connectionId);

 signals:
  void ClientConnect(int index);
  // After the connection has left the list.
  void ClientDisconnect();
  // The connection is still listed; the handler decides what becomes of it.
  void ClientError(quint64 connectionId);
  // Everything the connection had buffered.
  void ClientRead(int index, const QByteArray& bytes);
  void NotSamplingDue(quint64 connectionId);

 private:
  struct Connection {
    uint64_t id = 0;
    QTcpSocket* socket = nullptr;
    int64_t handle = 0;
    // Set once the connection has failed: nothing more is sent to it.
    bool failed = false;
    BlockAckAccumulator ack;
  };

  void TakePendingConnections();
  void Disconnected(uint64_t id);
  void Failed(uint64_t id);
  void ReadAll(uint64_t id);
  void Drop(Connection& connection);

  uint16_t port_;
  QTcpServer* server_ = nullptr;
  std::vector<Connection> connections_;
  uint64_t nextId_ = 1;
};

}  // namespace quelvar
