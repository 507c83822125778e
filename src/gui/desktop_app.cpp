#include "gui/desktop_app.h"

#include "gui/about_dialog.h"
#include "gui/accessible_roles.h"
#include "gui/app_icon.h"
#include "gui/dir_dialog.h"
#include "gui/look/app_theme.h"
#include "gui/main_window.h"
#include "gui/settings_dialog.h"

DesktopApp::DesktopApp(SessionConfig config)
    : session_(std::make_unique<Session>(std::move(config), ui_, machine_)) {
    accessible_roles::install();
    main_ = std::make_unique<Tfm_main>(*session_);
    main_->setWindowIcon(appIcon(session_->isDvdEdition()));
    // Every other window takes the skinned window's colours, in its brand.
    app_theme::apply(main_->palette());
    dir_ = new Tfm_dir(main_.get());
    about_ = new Tfm_about(session_->programFileName(), session_->machine(), main_.get());
    set_ = new Tfm_set(main_.get());
    ui_.setOwner(main_.get());
    ui_.setDialogs(dir_, set_);
    main_->setAbout(about_);
}

DesktopApp::~DesktopApp() {
    // The window goes first: its views hold on to the session's objects.
    main_.reset();
    session_.reset();
}
