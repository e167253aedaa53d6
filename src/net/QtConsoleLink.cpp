#include "net/QtConsoleLink.h"

#include <QByteArray>
#include <QHostAddress>
#include <QSignalBlocker>
#include <QString>
#include <QTcpSocket>

#include "net/RemoteConsole.h"

namespace quelvar {

QtConsoleLink::QtConsoleLink(RemoteConsole& console, uint16_t port, QObject* parent)
    : QObject(parent), console_(console), port_(port) {
  socket_ = new QTcpSocket(this);
  connect(socket_, &QTcpSocket::connected, this, [this] { emit Connected(); });
  connect(socket_, &QTcpSocket::disconnected, this, [this] { emit Disconnected(); });
  connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
    // The peer's orderly close is reported as a disconnect.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    errorText_ = socket_->errorString().toStdString();
    emit Failed();
  });
  connect(socket_, &QTcpSocket::readyRead, this, [this] { FeedConsole(); });
}

QtConsoleLink::~QtConsoleLink() {
  // The console may be gone already: nothing is reported or fed any more.
  blockSignals(true);
  socket_->disconnect(this);
  socket_->abort();
}

bool QtConsoleLink::Open(const std::string& address) {
  QHostAddress host;
  if (!host.setAddress(QString::fromStdString(address)) || host.protocol() != QAbstractSocket::IPv4Protocol) {
    return false;
  }
  {
    // An earlier connection ends quietly: it is not this one's failure.
    const QSignalBlocker quiet(socket_);
    socket_->abort();
  }
  socket_->connectToHost(host, port_);
  return true;
}

void QtConsoleLink::Close() {
  const QSignalBlocker quiet(socket_);
  socket_->abort();
}

bool QtConsoleLink::IsConnected() const { return socket_->state() == QAbstractSocket::ConnectedState; }

void QtConsoleLink::Send(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0 || !IsConnected()) return;
  socket_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
}

void QtConsoleLink::FeedConsole() {
  // Qt does not signal again for bytes already waiting: take them all. A
  // console that ends the connection closes the socket, which empties it.
  while (socket_->bytesAvailable() > 0) {
    const QByteArray bytes = socket_->readAll();
    console_.Feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
  }
}

}  // namespace quelvar
