#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// Side effects on the machine. Tests replace this; nothing in the test suite may power off.
class MachineActions {
  public:
    // Hears once how an action went: an empty text when it was done, else why it was not (a
    // phrase such as "xdg-open: no method available for opening '/x'"). It may come after the
    // action has returned, or never, when the program that acts keeps running.
    using Outcome = std::function<void(const QString& failure)>;

    virtual ~MachineActions() = default;
    // Opens a folder in the desktop's file manager.
    virtual void openFolder(const QString& folder, Outcome outcome) = 0;
    // Opens a web address in the user's browser.
    virtual void openUrl(const QString& address, Outcome outcome) = 0;
    // Powers the machine off now, through the service manager (which may refuse).
    virtual void powerOff(Outcome outcome) = 0;
};

// The real machine: the desktop's opener (xdg-open, else gio) and systemctl, freedesktop.org's
// programs on Linux and the BSDs, started without a shell; an opener that ends with a failure,
// or that none of them could be started, is heard. A Windows port uses ShellExecute and its
// shutdown call instead.
class SystemMachineActions : public MachineActions {
  public:
    // Each command is a program and its first arguments; the target follows them.
    struct Commands {
        QList<QStringList> openers{{QStringLiteral("xdg-open")},
                                   {QStringLiteral("gio"), QStringLiteral("open")}};
        QStringList powerOff{QStringLiteral("systemctl"), QStringLiteral("poweroff")};
    };

    SystemMachineActions() = default;
    explicit SystemMachineActions(Commands commands) : commands_(std::move(commands)) {}

    void openFolder(const QString& folder, Outcome outcome) override;
    void openUrl(const QString& address, Outcome outcome) override;
    void powerOff(Outcome outcome) override;

  private:
    void open(const QString& target, Outcome outcome);
    Commands commands_;
};

}  // namespace platform
