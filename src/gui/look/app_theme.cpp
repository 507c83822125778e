#include "gui/look/app_theme.h"

#include <QApplication>

#include "gui/look/orvex_style.h"

namespace app_theme {

namespace {

QString hex(const QColor& c) {
    return c.name(QColor::HexRgb);
}

}  // namespace

QPalette paletteFrom(const QPalette& window) {
    QPalette p = window;
    const QColor muted = window.color(QPalette::PlaceholderText);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, muted);
    }
    p.setColor(QPalette::Disabled, QPalette::Button, window.color(QPalette::Window));
    p.setColor(QPalette::Disabled, QPalette::Base, window.color(QPalette::Window));
    p.setColor(QPalette::Disabled, QPalette::Highlight, window.color(QPalette::Mid));
    // Links: a light blue that reads on the dark surfaces.
    p.setColor(QPalette::Link, QColor(0x6e, 0xa8, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0xa8, 0x8c, 0xff));
    return p;
}

QString styleSheetFor(const QPalette& p) {
    const QString surface = hex(p.color(QPalette::Button));
    const QString base = hex(p.color(QPalette::Base));
    const QString text = hex(p.color(QPalette::Text));
    const QString border = hex(p.color(QPalette::Light));
    const QString accent = hex(p.color(QPalette::Highlight));
    const QString onAccent = hex(p.color(QPalette::HighlightedText));
    const QString muted = hex(p.color(QPalette::PlaceholderText));
    return QStringLiteral(
               "QToolTip { color: %3; background: %1; border: 1px solid %4; padding: 3px; }"
               "QMenu { background: %1; color: %3; border: 1px solid %4; padding: 4px; }"
               "QMenu::item { padding: 5px 24px 5px 16px; border-radius: 3px; }"
               "QMenu::item:selected { background: %5; color: %6; }"
               "QMenu::item:disabled { color: %7; }"
               "QMenu::separator { height: 1px; background: %4; margin: 4px 6px; }"
               "QComboBox QAbstractItemView, QListView#completer { background: %2; color: %3;"
               " border: 1px solid %4; selection-background-color: %5; selection-color: %6;"
               " outline: 0; }"
               // Lists show that they hold the keyboard.
               "QTableView, QTreeView, QListView { border: 1px solid %4; }"
               "QTableView:focus, QTreeView:focus, QListView:focus { border: 1px solid %5; }")
        .arg(surface, base, text, border, accent, onAccent, muted);
}

void apply(const QPalette& window) {
    static bool styled = false;
    if (!styled) {
        styled = true;
        QApplication::setStyle(new OrvexStyle);
    }
    const QPalette palette = paletteFrom(window);
    QApplication::setPalette(palette);
    qApp->setStyleSheet(styleSheetFor(palette));
}

}  // namespace app_theme
