#include "net/QtControlServer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace quelvar {

namespace {

// What a connection may hold unread: beyond it the peer is held back by TCP
// itself. Several configuration records' worth, so normal traffic never
// waits.
constexpr qint64 kReadBufferBytes = 256 * 1024;

}  // namespace

QtControlServer::QtControlServer(uint16_t port, QObject* parent)
    : QObject(parent), port_(port), server_(new QTcpServer(this)) {
  connect(server_, &QTcpServer::newConnection, this, [this] { AcceptPending(); });
}

QtControlServer::~QtControlServer() {
  onConnect = nullptr;
  onRead = nullptr;
  onDisconnect = nullptr;
  onError = nullptr;
  for (const Connection& c : connections_) c.socket->disconnect(this);
  server_->close();
}

bool QtControlServer::Open() {
  if (server_->isListening()) return true;
  if (server_->listen(QHostAddress::AnyIPv4, port_)) {
    errorText_.clear();
    return true;
  }
  errorText_ = server_->errorString().toStdString();
  server_->close();
  return false;
}

void QtControlServer::Close() {
  server_->close();
  while (!connections_.empty()) {
    const ConnectionId id = connections_.front().id;
    if (onDisconnect) onDisconnect(id);
    Drop(id);
  }
}

bool QtControlServer::IsOpen() const { return server_->isListening(); }

uint16_t QtControlServer::Port() const { return server_->isListening() ? server_->serverPort() : port_; }

std::optional<QtControlServer::ConnectionId> QtControlServer::ConnectionAt(int index) const {
  if (index < 0 || index >= ConnectionCount()) return std::nullopt;
  return connections_[static_cast<size_t>(index)].id;
}

std::string QtControlServer::PeerAddress(ConnectionId id) const {
  const Connection* c = Find(id);
  return c != nullptr ? c->peer : std::string();
}

bool QtControlServer::Send(ConnectionId id, const uint8_t* data, size_t size) {
  const Connection* c = Find(id);
  if (c == nullptr) return false;
  return c->socket->write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
         static_cast<qint64>(size);
}

void QtControlServer::AcceptPending() {
  while (QTcpSocket* socket = server_->nextPendingConnection()) {
    const ConnectionId id = nextId_++;
    socket->setReadBufferSize(kReadBufferBytes);
    connections_.push_back({id, socket, socket->peerAddress().toString().toStdString()});
    connect(socket, &QTcpSocket::readyRead, this, [this] { DeliverReads(); });
    connect(socket, &QTcpSocket::disconnected, this, [this, id] { SocketDisconnected(id); });
    connect(socket, &QTcpSocket::errorOccurred, this,
            [this, id](QAbstractSocket::SocketError error) { SocketError(id, error); });
    if (onConnect) onConnect(id);
  }
}

void QtControlServer::DeliverReads() {
  // A read callback may run a nested event loop (a message box of a start
  // command); what arrives meanwhile waits for the loop below.
  if (delivering_) return;
  delivering_ = true;
  bool delivered = true;
  while (delivered) {
    delivered = false;
    std::vector<ConnectionId> ids;
    for (const Connection& c : connections_) ids.push_back(c.id);
    for (const ConnectionId id : ids) {
      // Looked up afresh: a callback may have closed connections.
      const Connection* c = Find(id);
      if (c == nullptr || c->socket->bytesAvailable() <= 0) continue;
      const QByteArray bytes = c->socket->readAll();
      delivered = true;
      if (onRead) onRead(id, reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
    }
  }
  delivering_ = false;
}

void QtControlServer::SocketDisconnected(ConnectionId id) {
  if (Find(id) == nullptr) return;
  if (onDisconnect) onDisconnect(id);
  Drop(id);
}

void QtControlServer::SocketError(ConnectionId id, QAbstractSocket::SocketError error) {
  // The peer's orderly close is an ordinary disconnect, reported as such.
  if (error == QAbstractSocket::RemoteHostClosedError) return;
  const Connection* c = Find(id);
  if (c == nullptr) return;
  const std::string text = c->socket->errorString().toStdString();
  if (onError) onError(id, text);
  Drop(id);
}

const QtControlServer::Connection* QtControlServer::Find(ConnectionId id) const {
  const auto it = std::find_if(connections_.begin(), connections_.end(),
                               [id](const Connection& c) { return c.id == id; });
  return it != connections_.end() ? &*it : nullptr;
}

void QtControlServer::Drop(ConnectionId id) {
  const auto it = std::find_if(connections_.begin(), connections_.end(),
                               [id](const Connection& c) { return c.id == id; });
  if (it == connections_.end()) return;
  QTcpSocket* socket = it->socket;
  connections_.erase(it);
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
}

}  // namespace quelvar
