#pragma once

#include <QString>

// Tells the desktop something through its notification service (org.freedesktop.Notifications
// on the session bus). Where there is no session bus nothing is said, and no bus is started.
class DesktopNotifier {
  public:
    void notify(const QString& summary, const QString& body) const;
};
