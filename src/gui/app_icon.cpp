#include "gui/app_icon.h"

// A static library's resource must be registered by name, outside any namespace.
static void initAppIconResource() {
    Q_INIT_RESOURCE(orvex_app_icons);
}

QIcon appIcon(bool dvdEdition) {
    initAppIconResource();
    const QString id =
        dvdEdition ? QStringLiteral("io.orvex.DvdConverter") : QStringLiteral("io.orvex.Converter");
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        icon.addFile(QStringLiteral(":/orvex/icons/%1/%2.png").arg(id).arg(size),
                     QSize(size, size));
    }
    return icon;
}
