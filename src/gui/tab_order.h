#pragma once

#include <QList>

class QWidget;

// The order Tab takes through a window's controls, by where they stand.
namespace tab_order {

// `lead` as given, then the groups of `column` from top to bottom (left to right within a
// row; a group stands where its first shown member does, or its first member when none is
// shown, and keeps its own order), then `tail` as given. Null entries are left out.
void arrange(QWidget* window, const QList<QWidget*>& lead, QList<QList<QWidget*>> column,
             const QList<QWidget*>& tail);

}  // namespace tab_order
