#pragma once

#include <QObject>
#include <cstddef>
#include <cstdint>
#include <string>

#include "net/QtStationServer.h"

class QTcpSocket;

namespace quelvar {

class ViewerReceiver;

// The viewer's connection to the station (ClientSocket1). Every byte that
// arrives goes to the receiver, in the order it came; the receiver's answers
// go back through Send. Connects, errors and disconnects are reported by
// signal; everything happens on the GUI thread.
class QtViewerLink : public QObject {
  Q_OBJECT
 public:
  explicit QtViewerLink(ViewerReceiver& receiver, uint16_t port = kStationStreamPort, QObject* parent = nullptr);
  ~QtViewerLink() override;

  // Readies the receiver and connects to `host`, dropping any earlier
  // connection first; the outcome comes by signal.
  void Open(const std::string& host);
  // Closes the connection; the receiver takes nothing more.
  void Close();
  bool IsConnected() const;
  // Queued; nothing when not connected.
  void Send(const uint8_t* data, size_t size);
  uint16_t Port() const { return port_; }

 signals:
  void Connected();
  // Any failure but the station closing its end: a refused or lost
  // connection, an unknown host.
  void Failed();
  void Disconnected();

 private:
  void FeedReceiver();

  ViewerReceiver& receiver_;
  uint16_t port_;
  QTcpSocket* socket_ = nullptr;
};

}  // namespace quelvar
