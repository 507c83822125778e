#pragma once

#include <QList>
#include <QPoint>
#include <QString>

// The window's pop-up menus: their items in order and where they open.
enum class ShellMenu { File, Dvd, Help };

enum class MenuCommand {
    None,  // a separator
    AddFiles,
    AddFolder,
    Remove,
    Clear,
    Convert,
    Stop,
    Exit,
    AddDvd,
    AddDvdImage,
    AddIfo,
    SelectAll,
    UnselectAll,
    Help,
    Support,
    Website,
    Contact,
    About,
    Activity,
};

struct MenuItem {
    QString caption;  // "-" for a separator
    MenuCommand command = MenuCommand::None;
};

namespace shell_menus {

const QList<MenuItem>& itemsOf(ShellMenu menu);
// Where a menu opens, from the main window's top-left corner.
QPoint offsetOf(ShellMenu menu, bool kamzuBrand);

}  // namespace shell_menus
