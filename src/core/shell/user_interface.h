#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "core/engine/finish_action.h"

// What the settings dialog sets.
struct SettingsChoices {
    FinishAction finishAction = FinishAction::Nothing;
    bool stretch = false;  // "Stretch the picture to the chosen size"
    int jobsAtOnce = 0;    // 0 Automatic, else 1 to the cores

    bool operator==(const SettingsChoices&) const = default;
};

// Everything the core asks of a person. The GUI answers with dialogs, the CLI with its
// arguments and standard error, tests with a scripted fake.
class UserInterface {
  public:
    virtual ~UserInterface() = default;

    // Modal warning with one OK button ("Please first stop convert!").
    virtual void warning(const QString& text) = 0;
    // Modal information box ("Can't find DVD disc.").
    virtual void information(const QString& text) = 0;
    // Yes/No confirmation; true for Yes.
    virtual bool confirm(const QString& text) = 0;
    // The application's general error report (a command abandoned by an error).
    virtual void error(const QString& text) = 0;
    // The file-open dialog of Add Files; empty when cancelled.
    virtual QStringList chooseFiles() = 0;
    // The file-open dialog of Add IFO (IFO files, several at once); empty when cancelled.
    virtual QStringList chooseIfoFiles() = 0;
    // The file-open dialog of Add DVD image (DVD image files, one of them); empty when
    // cancelled.
    virtual QString chooseDvdImage() = 0;
    // The folder dialog with its caption, opened at `start` when that is a folder (else where
    // the front end sees fit); empty when nothing was chosen.
    virtual QString chooseFolder(const QString& caption, const QString& start = {}) = 0;
    // The settings dialog, showing `current`; the choices made with OK, nothing on Cancel.
    virtual std::optional<SettingsChoices> chooseSettings(const SettingsChoices& current) = 0;
};
