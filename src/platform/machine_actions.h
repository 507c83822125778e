#pragma once

#include <QString>

namespace platform {

// Side effects on the machine. Tests replace this; nothing in the test suite may power off.
class MachineActions {
  public:
    virtual ~MachineActions() = default;
    // Opens a folder with the desktop's default action; false when that could not be started.
    virtual bool openFolder(const QString& folder) = 0;
    // Opens a web address in the user's browser; false when that could not be started.
    virtual bool openUrl(const QString& address) = 0;
    // Powers the machine off now; false when that could not be started.
    virtual bool powerOff() = 0;
};

// The real machine: xdg-open and systemctl (freedesktop.org's programs, on Linux and the BSDs),
// started through QProcess without a shell. A Windows port uses ShellExecute and its shutdown
// call instead.
class SystemMachineActions : public MachineActions {
  public:
    bool openFolder(const QString& folder) override;
    bool openUrl(const QString& address) override;
    bool powerOff() override;
};

}  // namespace platform
