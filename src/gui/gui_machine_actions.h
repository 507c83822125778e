#pragma once

#include "platform/machine_actions.h"

// The desktop's own ways of opening folders and addresses; powering off goes through the
// system's service manager.
class GuiMachineActions : public platform::MachineActions {
  public:
    bool openFolder(const QString& folder) override;
    bool openUrl(const QString& address) override;
    bool powerOff() override;

  private:
    platform::SystemMachineActions system_;
};
