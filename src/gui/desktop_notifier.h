#pragma once

#include <QString>
#include <utility>

// Tells the desktop something through its notification service (org.freedesktop.Notifications
// on the session bus). Where there is no session bus nothing is said, and no bus is started.
class DesktopNotifier {
  public:
    // `desktopEntry` names the program's desktop entry and icon ("io.orvex.Converter").
    explicit DesktopNotifier(QString desktopEntry) : desktopEntry_(std::move(desktopEntry)) {}

    void notify(const QString& summary, const QString& body) const;

  private:
    QString desktopEntry_;
};
