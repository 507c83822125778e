#pragma once

#include <QString>
#include <QStringList>

#include "platform/machine_actions.h"

namespace orvex::test {

// Records what would have been opened; powering off is never done by a test.
class FakeMachine : public platform::MachineActions {
  public:
    void openFolder(const QString& folder, Outcome outcome) override {
        opened << folder;
        outcome(failure);
    }
    void openUrl(const QString& address, Outcome outcome) override {
        urls << address;
        outcome(failure);
    }
    void powerOff(Outcome outcome) override {
        ++powerOffs;
        outcome(failure);
    }
    QStringList opened;
    QStringList urls;
    int powerOffs = 0;
    // What every action answers: empty for done.
    QString failure;
};

}  // namespace orvex::test
