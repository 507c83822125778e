#pragma once

#include <QString>
#include <QStringList>

#include "platform/machine_actions.h"

namespace orvex::test {

// Records what would have been opened; powering off is never done by a test.
class FakeMachine : public platform::MachineActions {
  public:
    bool openFolder(const QString& folder) override {
        opened << folder;
        return true;
    }
    bool openUrl(const QString& address) override {
        urls << address;
        return true;
    }
    bool powerOff() override {
        ++powerOffs;
        return false;
    }
    QStringList opened;
    QStringList urls;
    int powerOffs = 0;
};

}  // namespace orvex::test
