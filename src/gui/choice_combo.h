#pragma once

#include <QComboBox>

#include "core/profiles/choice_list.h"

// A drop-down list that shows a core ChoiceList: items, chosen entry and enabled state follow
// the list; a choice the user makes goes back to it as the user's. An entry too long for the
// box is shortened with "…" and read whole in the tooltip and the open list.
class ChoiceCombo : public QComboBox {
    Q_OBJECT
  public:
    ChoiceCombo(ChoiceList& list, QWidget* parent = nullptr);

    // What the box is for, told in its tooltip before the entry.
    void setDescription(const QString& text);
    // The entry as the box shows it.
    QString shownText() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void showItems();
    void showTip();

    ChoiceList& list_;
    QString description_;
};
