#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "core/shell/session.h"
#include "core/shell/shell_menus.h"

// What the main window does for the shell: things only a window can do.
class WindowShell {
  public:
    virtual ~WindowShell() = default;
    // Pops a menu up at `offset` from the window's top-left corner.
    virtual void popUpMenu(ShellMenu menu, QPoint offset) = 0;
    // Asks the window to close (which runs the close request).
    virtual void requestClose() = 0;
    virtual void showAbout() = 0;
    // The activity log's window.
    virtual void showActivity() {}
};

// Routes the main window's commands: clicks on named skin objects (matched exactly and
// case-sensitively, in the table's order), pop-up menu items, and the close request. Each
// command's own guards live with the command; this only decides which command runs.
class CommandDispatch {
  public:
    static const QString kStopConvertingText;  // "Please first stop converting!"

    CommandDispatch(Session& session, WindowShell& window);

    // The skin command names in the order they are matched.
    QStringList skinCommandNames() const;

    // A click on the skin object named `name`; false when no command has that name.
    bool skinClick(const QString& name);
    void menuCommand(MenuCommand command);
    // The close request: refused (with its message) while a preview plays or a run is under
    // way; otherwise an add batch under way is ended, the settings are saved and true returned.
    bool closeRequest();

  private:
    struct SkinCommand {
        QString name;
        std::function<void()> action;
    };
    void browse();
    void openOutputFolder();
    void showSettings();
    void popUp(ShellMenu menu);
    void openPicker();
    void addDvd();
    void addIfo();
    void remove();
    void clear();

    Session& session_;
    WindowShell& window_;
    std::vector<SkinCommand> commands_;
};
