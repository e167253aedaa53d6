#include "platform/qt/DBusScreenSaverControl.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace quelvar::platform {

namespace {

const char* const kService = "org.freedesktop.ScreenSaver";
const char* const kPath = "/org/freedesktop/ScreenSaver";
const char* const kInterface = "org.freedesktop.ScreenSaver";

bool BusAvailable() {
  // Without a session bus address there is nothing to talk to; asking the
  // library to find one could start a helper process.
  if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return false;
  return QDBusConnection::sessionBus().isConnected();
}

}  // namespace

DBusScreenSaverControl::DBusScreenSaverControl(QObject* parent) : QObject(parent) {}

DBusScreenSaverControl::~DBusScreenSaverControl() {
  wanted_ = false;
  UnInhibit();
}

void DBusScreenSaverControl::SetInhibited(bool inhibited) {
  wanted_ = inhibited;
  if (!inhibited) {
    UnInhibit();
    return;
  }
  if (haveCookie_ || requestPending_ || !BusAvailable()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Inhibit");
  call << QStringLiteral("quelvar") << QStringLiteral("acquisition running");
  requestPending_ = true;
  auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    QDBusPendingReply<uint32_t> reply = *w;
    requestPending_ = false;
    if (!reply.isError()) {
      cookie_ = reply.value();
      haveCookie_ = true;
      // Acquisition may have stopped while the request was under way.
      if (!wanted_) UnInhibit();
    }
    w->deleteLater();
  });
}

void DBusScreenSaverControl::UnInhibit() {
  if (!haveCookie_) return;
  haveCookie_ = false;
  if (!BusAvailable()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "UnInhibit");
  call << cookie_;
  QDBusConnection::sessionBus().asyncCall(call);
}

}  // namespace quelvar::platform
