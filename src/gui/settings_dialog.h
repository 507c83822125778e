#pragma once

#include <QDialog>

#include <optional>

#include "core/engine/finish_action.h"

class QButtonGroup;
class QGroupBox;
class QPushButton;

// Tfm_set: the finish action as a radio group with "OK" and "Cancel".
class Tfm_set : public QDialog {
    Q_OBJECT
  public:
    explicit Tfm_set(QWidget* parent = nullptr);

    // Shows the dialog modally with `current` selected; the choice made with OK.
    std::optional<FinishAction> choose(FinishAction current);

    QGroupBox* rg_finish() const { return group_; }
    QButtonGroup* items() const { return items_; }
    QPushButton* Button1() const { return ok_; }
    QPushButton* Button2() const { return cancel_; }

  private:
    QGroupBox* group_;
    QButtonGroup* items_;
    QPushButton* ok_;
    QPushButton* cancel_;
};
