#include "net/QtViewerLink.h"

#include <QByteArray>
#include <QSignalBlocker>
#include <QString>
#include <QTcpSocket>

#include "net/ViewerReceive.h"

namespace quelvar {

QtViewerLink::QtViewerLink(ViewerReceiver& receiver, uint16_t port, QObject* parent)
    : QObject(parent), receiver_(receiver), port_(port) {
  socket_ = new QTcpSocket(this);
  connect(socket_, &QTcpSocket::connected, this, [this] { emit Connected(); });
  connect(socket_, &QTcpSocket::disconnected, this, [this] { emit Disconnected(); });
  connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
    if (error != QAbstractSocket::RemoteHostClosedError) emit Failed();
  });
  connect(socket_, &QTcpSocket::readyRead, this, [this] { FeedReceiver(); });
}

QtViewerLink::~QtViewerLink() {
  // The receiver may be gone already; nothing is reported or fed any more.
  blockSignals(true);
  socket_->disconnect(this);
  socket_->abort();
}

void QtViewerLink::Open(const std::string& host) {
  {
    // An earlier connection ends quietly: it is not this one's failure.
    const QSignalBlocker quiet(socket_);
    socket_->abort();
  }
  receiver_.Open();
  socket_->connectToHost(QString::fromStdString(host), port_);
}

void QtViewerLink::Close() {
  receiver_.Close();
  const QSignalBlocker quiet(socket_);
  socket_->abort();
}

bool QtViewerLink::IsConnected() const { return socket_->state() == QAbstractSocket::ConnectedState; }

void QtViewerLink::Send(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0 || !IsConnected()) return;
  socket_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
}

void QtViewerLink::FeedReceiver() {
  // Qt does not signal again for bytes already waiting: take them all. A
  // stop inside the receiver closes the socket, which ends the loop.
  while (socket_->bytesAvailable() > 0) {
    const QByteArray bytes = socket_->readAll();
    receiver_.Feed(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size()));
  }
}

}  // namespace quelvar
