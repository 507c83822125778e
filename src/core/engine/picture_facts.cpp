#include "core/engine/picture_facts.h"

#include <QStringList>

double PictureFacts::aspectOfRatioText(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2) {
        return 0;
    }
    bool okWidth = false;
    bool okHeight = false;
    const double width = parts[0].toDouble(&okWidth);
    const double height = parts[1].toDouble(&okHeight);
    if (!okWidth || !okHeight || !(width > 0) || !(height > 0)) {
        return 0;
    }
    const double aspect = width / height;
    // Beyond these a ratio is a broken text, not a picture anyone made.
    return aspect >= 0.1 && aspect <= 10 ? aspect : 0;
}
