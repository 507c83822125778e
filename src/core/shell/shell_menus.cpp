#include "core/shell/shell_menus.h"

namespace shell_menus {

namespace {

MenuItem separator() {
    return {QStringLiteral("-"), MenuCommand::None};
}

}  // namespace

const QList<MenuItem>& itemsOf(ShellMenu menu) {
    static const QList<MenuItem> file{{QStringLiteral("Add Files"), MenuCommand::AddFiles},
                                      {QStringLiteral("Add Folder"), MenuCommand::AddFolder},
                                      separator(),
                                      {QStringLiteral("Remove"), MenuCommand::Remove},
                                      {QStringLiteral("Clear"), MenuCommand::Clear},
                                      separator(),
                                      {QStringLiteral("Convert"), MenuCommand::Convert},
                                      {QStringLiteral("Stop"), MenuCommand::Stop},
                                      {QStringLiteral("Activity"), MenuCommand::Activity},
                                      separator(),
                                      {QStringLiteral("Exit"), MenuCommand::Exit}};
    static const QList<MenuItem> dvd{{QStringLiteral("Add DVD"), MenuCommand::AddDvd},
                                     {QStringLiteral("Add DVD image"), MenuCommand::AddDvdImage},
                                     {QStringLiteral("Add IFO"), MenuCommand::AddIfo},
                                     separator(),
                                     {QStringLiteral("Select All"), MenuCommand::SelectAll},
                                     {QStringLiteral("Unselect ALL"), MenuCommand::UnselectAll},
                                     separator(),
                                     {QStringLiteral("Convert"), MenuCommand::Convert},
                                     {QStringLiteral("Stop"), MenuCommand::Stop},
                                     {QStringLiteral("Activity"), MenuCommand::Activity},
                                     separator(),
                                     {QStringLiteral("Exit"), MenuCommand::Exit}};
    static const QList<MenuItem> help{{QStringLiteral("Help"), MenuCommand::Help},
                                      {QStringLiteral("Support"), MenuCommand::Support},
                                      {QStringLiteral("Our Website"), MenuCommand::Website},
                                      {QStringLiteral("Contact us"), MenuCommand::Contact},
                                      separator(),
                                      {QStringLiteral("About"), MenuCommand::About}};
    switch (menu) {
        case ShellMenu::File:
            return file;
        case ShellMenu::Dvd:
            return dvd;
        case ShellMenu::Help:
            break;
    }
    return help;
}

QPoint offsetOf(ShellMenu menu, bool kamzuBrand) {
    if (menu == ShellMenu::Help) {
        return kamzuBrand ? QPoint(366, 64) : QPoint(362, 54);
    }
    return kamzuBrand ? QPoint(85, 64) : QPoint(76, 54);
}

}  // namespace shell_menus
