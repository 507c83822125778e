#include "core/shell/machine_requests.h"

#include <QDir>
#include <QPointer>

MachineRequests::MachineRequests(platform::MachineActions& machine, QObject* parent)
    : QObject(parent), machine_(machine) {}

void MachineRequests::sayOnce(const QString& target, const QString& text) {
    if (!said_.contains(target)) {
        said_.insert(target);
        emit problem(text);
    }
}

void MachineRequests::openFolder(const QString& folder) {
    // The outcome may come after this object has gone (the program is closing).
    QPointer<MachineRequests> self(this);
    const QString shown = QDir::toNativeSeparators(folder);
    machine_.openFolder(folder, [self, shown](const QString& failure) {
        if (self && !failure.isEmpty()) {
            self->sayOnce(shown, QStringLiteral("No file manager could open the folder %1 (%2). "
                                                "Open it by hand.")
                                     .arg(shown, failure));
        }
    });
}

void MachineRequests::openAddress(const QString& address) {
    QPointer<MachineRequests> self(this);
    machine_.openUrl(address, [self, address](const QString& failure) {
        if (self && !failure.isEmpty()) {
            self->sayOnce(address, QStringLiteral("No web browser could open %1 (%2). Open the "
                                                  "address in a browser by hand.")
                                       .arg(address, failure));
        }
    });
}

void MachineRequests::powerOff() {
    QPointer<MachineRequests> self(this);
    machine_.powerOff([self](const QString& failure) {
        if (self && !failure.isEmpty()) {
            emit self->problem(QStringLiteral("The computer was not shut down: %1.").arg(failure));
        }
    });
}
