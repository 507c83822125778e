#pragma once

#include <memory>

#include "core/shell/session.h"
#include "gui/gui_user_interface.h"
#include "platform/machine_actions.h"

class Tfm_about;
class Tfm_dir;
class Tfm_main;
class Tfm_set;

// The desktop program: the session with the window's answers and the machine's actions (the
// desktop's opener, which tells when nothing could open a folder or page), and
// the windows made at start-up in their order (the main window, the folder dialog, the About
// box, the settings dialog).
class DesktopApp {
  public:
    explicit DesktopApp(SessionConfig config);
    ~DesktopApp();

    Session& session() { return *session_; }
    Tfm_main& mainWindow() { return *main_; }
    Tfm_dir& folderDialog() { return *dir_; }
    Tfm_about& aboutBox() { return *about_; }
    Tfm_set& settingsDialog() { return *set_; }
    GuiUserInterface& ui() { return ui_; }

  private:
    GuiUserInterface ui_;
    platform::SystemMachineActions machine_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<Tfm_main> main_;
    Tfm_dir* dir_ = nullptr;
    Tfm_about* about_ = nullptr;
    Tfm_set* set_ = nullptr;
};
