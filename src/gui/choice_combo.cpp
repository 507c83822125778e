#include "gui/choice_combo.h"

#include <QAbstractItemView>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>

ChoiceCombo::ChoiceCombo(ChoiceList& list, QWidget* parent) : QComboBox(parent), list_(list) {
    showItems();
    setEnabled(list.isEnabled());
    connect(&list, &ChoiceList::itemsChanged, this, &ChoiceCombo::showItems);
    connect(&list, &ChoiceList::itemIndexChanged, this, [this](int index) {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
        showTip();
    });
    connect(&list, &ChoiceList::enabledChanged, this, &QWidget::setEnabled);
    connect(this, &QComboBox::activated, this, [this](int index) { list_.userSelect(index); });
    connect(this, &QComboBox::currentIndexChanged, this, &ChoiceCombo::showTip);
}

void ChoiceCombo::setDescription(const QString& text) {
    description_ = text;
    showTip();
}

QString ChoiceCombo::shownText() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    // The style draws the entry one pixel in from each side of the edit field.
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, field.width() - 2);
}

void ChoiceCombo::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void ChoiceCombo::showItems() {
    const QSignalBlocker quiet(this);
    clear();
    addItems(list_.items());
    setCurrentIndex(list_.itemIndex());
    showTip();
    // The list is narrow; its drop-down shows every entry whole.
    int widest = 0;
    for (const QString& item : list_.items()) {
        widest = qMax(widest, fontMetrics().horizontalAdvance(item));
    }
    view()->setMinimumWidth(widest + 32);
}

void ChoiceCombo::showTip() {
    // The whole entry is always there, after what the box is for.
    const QString whole = currentText();
    if (description_.isEmpty() || whole.isEmpty()) {
        setToolTip(description_.isEmpty() ? whole : description_);
    } else {
        setToolTip(description_ + QStringLiteral(": ") + whole);
    }
}
