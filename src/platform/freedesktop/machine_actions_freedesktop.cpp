#include <QProcess>
#include <QStringList>

#include "platform/machine_actions.h"

namespace platform {

bool SystemMachineActions::openFolder(const QString& folder) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {folder});
}

bool SystemMachineActions::openUrl(const QString& address) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {address});
}

bool SystemMachineActions::powerOff() {
    return QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}

}  // namespace platform
