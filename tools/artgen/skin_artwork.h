#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "art_style.h"
#include "gui/skin/form/skin_description.h"

namespace art {

// The background of a variant: window, title and menu bars, cards, fields, labels, the
// preview screen, the progress groove and the empty-list picture, as its decor lists them.
QImage paintBackground(const SkinForm& form, const SkinVariant& variant, const Theme& theme);

// One look of an object at its size: "normal", "hover", "pressed" of commands and window
// buttons; "track", "fill", "thumb" of bars.
QImage paintLook(const SkinObjectDef& object, QSize size, const QString& state, const Theme& theme);

// Draws every image the description names into `outDir`, copies the description beside them
// and writes two resource lists: skin_file.qrc (for skn.skn) and skin_builtin.qrc (for the
// copy compiled into the program). False with the reason in `error`.
bool writeSkinArtwork(const QString& descriptionPath, const QString& outDir, QString* error);

}  // namespace art
