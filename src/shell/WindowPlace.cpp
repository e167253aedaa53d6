#include "shell/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "shell/WindowGeometry.h"

namespace quelvar {

void RestoreWindowPlace(QWidget& window, platform::RegistryStore& store, const std::string& appKeyName,
                        const std::string& prefix) {
  WindowGeometry g{window.y(), window.x(), window.width(), window.height()};
  ReadWindowGeometry(store, appKeyName, prefix, g);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    FitWindowOnScreen(g, area.width(), area.height(), static_cast<int>(QGuiApplication::screens().size()));
  }
  window.move(g.Left, g.Top);
  window.resize(g.Width, g.Height);
}

void SaveWindowPlace(const QWidget& window, platform::RegistryStore& store, const std::string& appKeyName,
                     const std::string& prefix) {
  WriteWindowGeometry(store, appKeyName, prefix, {window.y(), window.x(), window.width(), window.height()});
}

}  // namespace quelvar
