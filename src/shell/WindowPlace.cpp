#include "shell/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

#include "shell/WindowGeometry.h"

namespace quelvar {

namespace {

DesktopRect RectOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// Zero on every side until the window system has framed the window.
FrameMargins MarginsOf(const QWidget& window) {
  const QRect frame = window.frameGeometry(), client = window.geometry();
  return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
          frame.bottom() - client.bottom()};
}

}  // namespace

std::vector<DesktopScreen> DesktopScreens() {
  std::vector<DesktopScreen> screens;
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr) screens.push_back({RectOf(primary->geometry()), RectOf(primary->availableGeometry())});
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) screens.push_back({RectOf(screen->geometry()), RectOf(screen->availableGeometry())});
  }
  return screens;
}

void RestoreWindowPlace(QWidget& window, platform::RegistryStore& store, const std::string& appKeyName,
                        const std::string& prefix, int minimumSize) {
  const FrameMargins margins = MarginsOf(window);
  WindowGeometry g = PlaceOfClientRect(RectOf(window.geometry()), margins);
  ReadWindowGeometry(store, appKeyName, prefix, g);
  g.Width = std::max(g.Width, minimumSize);
  g.Height = std::max(g.Height, minimumSize);
  g = OpeningPlace(g, DesktopScreens(), margins);
  // move() places the frame's corner (the window system adds the frame);
  // resize() sizes the client area: the terms the place is saved in.
  window.move(g.Left, g.Top);
  window.resize(std::max(g.Width, 0), std::max(g.Height, 0));
}

WindowGeometry CurrentWindowPlace(const QWidget& window) {
  return PlaceOfClientRect(RectOf(window.geometry()), MarginsOf(window));
}

void SaveWindowPlace(const QWidget& window, platform::RegistryStore& store, const std::string& appKeyName,
                     const std::string& prefix) {
  WriteWindowGeometry(store, appKeyName, prefix, CurrentWindowPlace(window));
}

}  // namespace quelvar
