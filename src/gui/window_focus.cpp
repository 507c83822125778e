#include "gui/window_focus.h"

#include <QDialog>
#include <QPointer>

void takeKeysBack(QWidget* window) {
    if (window != nullptr && window->isVisible() && !window->isActiveWindow()) {
        window->activateWindow();
    }
}

void takeKeysBackAfter(QDialog* dialog, QWidget* window) {
    QObject::connect(dialog, &QDialog::finished, window,
                     [target = QPointer<QWidget>(window)] { takeKeysBack(target); });
}
