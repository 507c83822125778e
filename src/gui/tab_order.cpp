#include "gui/tab_order.h"

#include <QWidget>
#include <algorithm>
#include <cstdlib>

namespace tab_order {

void arrange(QWidget* window, const QList<QWidget*>& lead, QList<QList<QWidget*>> column,
             const QList<QWidget*>& tail) {
    const auto placeOf = [window](const QList<QWidget*>& group) {
        const QWidget* first = nullptr;
        for (QWidget* w : group) {
            if (w != nullptr && !w->isHidden()) {
                return w->mapTo(window, QPoint(0, 0));
            }
            first = first != nullptr ? first : w;
        }
        // Not shown yet (the list before its first row): where it will show.
        return first != nullptr ? first->mapTo(window, QPoint(0, 0)) : QPoint();
    };
    constexpr int kRow = 12;  // tops this close stand in one row
    std::stable_sort(column.begin(), column.end(), [&](const auto& a, const auto& b) {
        const QPoint p = placeOf(a);
        const QPoint q = placeOf(b);
        return std::abs(p.y() - q.y()) < kRow ? p.x() < q.x() : p.y() < q.y();
    });
    QList<QWidget*> order = lead;
    for (const QList<QWidget*>& group : column) {
        order << group;
    }
    order << tail;
    order.removeAll(nullptr);
    for (qsizetype i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

}  // namespace tab_order
