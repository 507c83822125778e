#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace art {

// Line icons of the window's commands, drawn on a 24-unit grid scaled into `box`:
// minimize, close, gear, grid, folder, open, addfile, addfolder, disc, ifo, chapters, remove,
// clear, stop, convert, play, pause, film, chevron. Unknown names draw nothing and return
// false.
bool paintIcon(QPainter& p, const QString& name, const QRectF& box, const QColor& colour);

}  // namespace art
