#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// A drop-down list whose contents the logic reads: items, the chosen index, and whether it is
// enabled. Programmatic changes emit itemsChanged/itemIndexChanged/enabledChanged for views;
// only a user's choice (userSelect) emits userChanged, which is what refreshes estimates.
class ChoiceList : public QObject {
    Q_OBJECT
  public:
    explicit ChoiceList(QObject* parent = nullptr);
    ChoiceList(const QStringList& items, int itemIndex, QObject* parent = nullptr);

    const QStringList& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    QString itemAt(int index) const;
    QString lastItem() const { return items_.isEmpty() ? QString() : items_.last(); }

    // -1 when nothing is chosen.
    int itemIndex() const { return itemIndex_; }
    // An index outside the list leaves the list without a choice (-1).
    void setItemIndex(int index);
    QString currentText() const { return itemAt(itemIndex_); }

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);

    void clear();
    void addItem(const QString& text);
    void removeLast();

    // A choice made by the user through a front end.
    void userSelect(int index);

  signals:
    void itemsChanged();
    void itemIndexChanged(int index);
    void enabledChanged(bool enabled);
    void userChanged(int index);

  private:
    QStringList items_;
    int itemIndex_ = -1;
    bool enabled_ = true;
};
