#pragma once

#include <QPalette>
#include <QString>

// One look for every window of the program: the main window's palette (which carries the
// brand's accent) becomes the application's, with dimmed disabled colours and readable links,
// over Fusion with our indicators; a style sheet gives menus, drop-down lists and tooltips the
// window's dark surfaces. Dialogs, message boxes, the file and folder dialogs and pop-ups all
// take it, in both brands.
namespace app_theme {

// The application palette made from the skinned window's palette.
QPalette paletteFrom(const QPalette& window);

// The application style sheet for that palette.
QString styleSheetFor(const QPalette& palette);

// Sets style, palette and style sheet on the running QApplication.
void apply(const QPalette& window);

}  // namespace app_theme
