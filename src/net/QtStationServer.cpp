#include "net/QtStationServer.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace quelvar {

namespace {

// A viewer that stops reading would make its send queue grow with every
// block for as long as the station runs; beyond this much unsent data
// (minutes of any usual block rate) it is dropped as a failed connection.
constexpr qint64 kMaxQueuedBytesPerViewer = qint64{64} << 20;

}  // namespace

QtStationServer::QtStationServer(uint16_t port, QObject* parent) : QObject(parent), port_(port) {
  server_ = new QTcpServer(this);
  connect(server_, &QTcpServer::newConnection, this, [this] { TakePendingConnections(); });
}

QtStationServer::~QtStationServer() {
  // Nobody is told of connections that end with us.
  blockSignals(true);
  Close();
}

bool QtStationServer::Open() {
  if (server_->isListening()) return true;
  return server_->listen(QHostAddress::Any, port_);
}

bool QtStationServer::IsOpen() const { return server_->isListening(); }

void QtStationServer::Close() {
  server_->close();
  std::vector<Connection> gone;
  gone.swap(connections_);
  for (Connection& connection : gone) Drop(connection);
}

uint16_t QtStationServer::ServerPort() const { return server_->isListening() ? server_->serverPort() : port_; }

int QtStationServer::Count() const { return static_cast<int>(connections_.size()); }

uint64_t QtStationServer::IdAt(int index) const {
  if (index < 0 || index >= Count()) return 0;
  return connections_[static_cast<size_t>(index)].id;
}

void QtStationServer::Send(int index, const uint8_t* data, size_t size) {
  if (index < 0 || index >= Count() || data == nullptr || size == 0) return;
  Connection& connection = connections_[static_cast<size_t>(index)];
  if (connection.failed) return;
  const auto length = static_cast<qint64>(size);
  if (connection.socket->bytesToWrite() + length > kMaxQueuedBytesPerViewer) {
    // Reported after the caller's loop over the list, which must not change under it.
    connection.failed = true;
    const uint64_t id = connection.id;
    QMetaObject::invokeMethod(
        this, [this, id] { emit ClientError(id); }, Qt::QueuedConnection);
    return;
  }
  connection.socket->write(reinterpret_cast<const char*>(data), length);
}

void QtStationServer::RequestNotSamplingTimer(uint64_t connectionId, int delayMs) {
  QTimer::singleShot(std::max(delayMs, 0), this, [this, connectionId] { emit NotSamplingDue(connectionId); });
}

int64_t QtStationServer::HandleAt(int index) const {
  if (index < 0 || index >= Count()) return 0;
  return connections_[static_cast<size_t>(index)].handle;
}

std::string QtStationServer::PeerAddressAt(int index) const {
  if (index < 0 || index >= Count()) return {};
  const QHostAddress peer = connections_[static_cast<size_t>(index)].socket->peerAddress();
  if (peer.isNull()) return {};
  bool isV4 = false;
  const quint32 v4 = peer.toIPv4Address(&isV4);
  return (isV4 ? QHostAddress(v4) : peer).toString().toStdString();
}

BlockAckAccumulator* QtStationServer::PendingAckAt(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return &connections_[static_cast<size_t>(index)].ack;
}

int QtStationServer::IndexOf(uint64_t connectionId) const {
  for (int i = 0; i < Count(); ++i) {
    if (connections_[static_cast<size_t>(i)].id == connectionId) return i;
  }
  return -1;
}

void QtStationServer::CloseConnection(uint64_t connectionId) {
  const int index = IndexOf(connectionId);
  if (index < 0) return;
  Connection connection = connections_[static_cast<size_t>(index)];
  connections_.erase(connections_.begin() + index);
  Drop(connection);
}

void QtStationServer::TakePendingConnections() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    const uint64_t id = nextId_++;
    connections_.push_back({id, socket, static_cast<int64_t>(socket->socketDescriptor()), false, {}});
    connect(socket, &QTcpSocket::disconnected, this, [this, id] { Disconnected(id); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, id](QAbstractSocket::SocketError error) {
      // A viewer that closes its end is a disconnect, not an error.
      if (error != QAbstractSocket::RemoteHostClosedError) Failed(id);
    });
    connect(socket, &QTcpSocket::readyRead, this, [this, id] { ReadAll(id); });
    emit ClientConnect(Count() - 1);
    // A handler may have dropped it already; what it sent before is read
    // when it is still here.
    if (IndexOf(id) >= 0 && socket->bytesAvailable() > 0) ReadAll(id);
  }
}

void QtStationServer::Disconnected(uint64_t id) {
  const int index = IndexOf(id);
  if (index < 0) return;
  Connection connection = connections_[static_cast<size_t>(index)];
  connections_.erase(connections_.begin() + index);
  Drop(connection);
  emit ClientDisconnect();
}

void QtStationServer::Failed(uint64_t id) {
  const int index = IndexOf(id);
  if (index < 0) return;
  connections_[static_cast<size_t>(index)].failed = true;
  emit ClientError(id);
}

void QtStationServer::ReadAll(uint64_t id) {
  const int index = IndexOf(id);
  if (index < 0) return;
  // Qt does not signal again for bytes already waiting: take them all.
  const QByteArray bytes = connections_[static_cast<size_t>(index)].socket->readAll();
  if (!bytes.isEmpty()) emit ClientRead(index, bytes);
}

void QtStationServer::Drop(Connection& connection) {
  QTcpSocket* socket = connection.socket;
  connection.socket = nullptr;
  if (socket == nullptr) return;
  socket->disconnect(this);
  socket->abort();
  // Not deleted here: we may be inside one of its own signals.
  socket->deleteLater();
}

}  // namespace quelvar
