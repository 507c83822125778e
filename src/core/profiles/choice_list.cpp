#include "core/profiles/choice_list.h"

ChoiceList::ChoiceList(QObject* parent) : QObject(parent) {}

ChoiceList::ChoiceList(const QStringList& items, int itemIndex, QObject* parent)
    : QObject(parent), items_(items) {
    setItemIndex(itemIndex);
}

QString ChoiceList::itemAt(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    return items_.at(index);
}

void ChoiceList::setItemIndex(int index) {
    if (index < 0 || index >= count()) {
        index = -1;
    }
    if (index == itemIndex_) {
        return;
    }
    itemIndex_ = index;
    emit itemIndexChanged(itemIndex_);
}

void ChoiceList::setEnabled(bool enabled) {
    if (enabled_ == enabled) {
        return;
    }
    enabled_ = enabled;
    emit enabledChanged(enabled_);
}

void ChoiceList::clear() {
    const bool hadChoice = itemIndex_ != -1;
    items_.clear();
    itemIndex_ = -1;
    emit itemsChanged();
    if (hadChoice) {
        emit itemIndexChanged(-1);
    }
}

void ChoiceList::addItem(const QString& text) {
    items_.append(text);
    emit itemsChanged();
}

void ChoiceList::removeLast() {
    if (items_.isEmpty()) {
        return;
    }
    items_.removeLast();
    emit itemsChanged();
    if (itemIndex_ >= count()) {
        itemIndex_ = -1;
        emit itemIndexChanged(-1);
    }
}

void ChoiceList::userSelect(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    setItemIndex(index);
    emit userChanged(index);
}
