#pragma once

#include <QDialog>

#include <optional>

#include "core/shell/user_interface.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;

// Tfm_set: the finish action as a radio group, the picture's stretch as a check box and the
// jobs at once as a list (Automatic, 1 to the cores), with "OK" and "Cancel".
class Tfm_set : public QDialog {
    Q_OBJECT
  public:
    explicit Tfm_set(QWidget* parent = nullptr);

    // Shows the dialog modally with `current` selected; the choices made with OK.
    std::optional<SettingsChoices> choose(const SettingsChoices& current);

    QGroupBox* rg_finish() const { return group_; }
    QButtonGroup* items() const { return items_; }
    // Item 0 "Automatic", item n n jobs.
    QComboBox* cb_jobs() const { return jobs_; }
    QCheckBox* cb_stretch() const { return stretch_; }
    QPushButton* Button1() const { return ok_; }
    QPushButton* Button2() const { return cancel_; }

  private:
    QGroupBox* group_;
    QButtonGroup* items_;
    QCheckBox* stretch_;
    QComboBox* jobs_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
