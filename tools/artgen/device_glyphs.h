#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace art {

// Small pictures of the picker's devices and formats, on the same 24-unit grid as the
// command icons: note, ipod, iphone, gphone, appletv, psp, gamepad, phone, pda, player, hd,
// spark, and any command icon name (film, grid, ...).
void paintGlyph(QPainter& p, const QString& name, const QRectF& box, const QColor& colour);

// The glyph of a picker category 1..13; 14 and others get a generic one.
QString glyphOfCategory(int category);

}  // namespace art
