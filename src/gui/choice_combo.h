#pragma once

#include <QComboBox>

#include "core/profiles/choice_list.h"

// A drop-down list that shows a core ChoiceList: items, chosen entry and enabled state follow
// the list; a choice the user makes goes back to it as the user's.
class ChoiceCombo : public QComboBox {
    Q_OBJECT
  public:
    ChoiceCombo(ChoiceList& list, QWidget* parent = nullptr);

  private:
    void showItems();

    ChoiceList& list_;
};
