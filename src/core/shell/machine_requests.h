#pragma once

#include <QObject>
#include <QSet>
#include <QString>

#include "platform/machine_actions.h"

// The machine's actions as the user asks for them: the output folder (the "open" command and
// the finish action), the help pages and the About box's links, and powering off. When one does
// not happen, the user hears it through problem(): for a folder or an address once, with what to
// open by hand (a machine without a file manager or browser fails every time alike); a refused
// power-off every time.
class MachineRequests : public QObject {
    Q_OBJECT
  public:
    explicit MachineRequests(platform::MachineActions& machine, QObject* parent = nullptr);

    void openFolder(const QString& folder);
    void openAddress(const QString& address);
    void powerOff();

    platform::MachineActions& machine() { return machine_; }

  signals:
    void problem(const QString& text);

  private:
    void sayOnce(const QString& target, const QString& text);

    platform::MachineActions& machine_;
    QSet<QString> said_;
};
