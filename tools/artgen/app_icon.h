#pragma once

#include <QString>

namespace art {

// The application icons of the two editions, for the desktop's icon theme and the window:
// `outdir`/hicolor/scalable/apps/<id>.svg and `outdir`/hicolor/<N>x<N>/apps/<id>.png for each
// size, plus `outdir`/app_icons.qrc listing the PNGs under ":/orvex/icons/<id>/<N>.png" for the
// program to build in.
bool writeAppIcons(const QString& outdir, QString* error);

}  // namespace art
