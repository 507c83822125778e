#include "gui/gui_machine_actions.h"

#include <QDesktopServices>
#include <QUrl>

bool GuiMachineActions::openFolder(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool GuiMachineActions::openUrl(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

bool GuiMachineActions::powerOff() {
    return system_.powerOff();
}
