#include "gui/choice_combo.h"

#include <QAbstractItemView>
#include <QSignalBlocker>

ChoiceCombo::ChoiceCombo(ChoiceList& list, QWidget* parent) : QComboBox(parent), list_(list) {
    showItems();
    setEnabled(list.isEnabled());
    connect(&list, &ChoiceList::itemsChanged, this, &ChoiceCombo::showItems);
    connect(&list, &ChoiceList::itemIndexChanged, this, [this](int index) {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
        setToolTip(currentText());
    });
    connect(&list, &ChoiceList::enabledChanged, this, &QWidget::setEnabled);
    connect(this, &QComboBox::activated, this, [this](int index) { list_.userSelect(index); });
}

void ChoiceCombo::showItems() {
    const QSignalBlocker quiet(this);
    clear();
    addItems(list_.items());
    setCurrentIndex(list_.itemIndex());
    setToolTip(currentText());
    // The list is narrow; its drop-down shows every entry whole.
    int widest = 0;
    for (const QString& item : list_.items()) {
        widest = qMax(widest, fontMetrics().horizontalAdvance(item));
    }
    view()->setMinimumWidth(widest + 32);
}
