#include "art_style.h"

#include <QFontMetricsF>

namespace art {

Theme Theme::from(const QJsonObject& theme) {
    Theme t;
    auto read = [&theme](const char* key, QColor& into) {
        const QColor c(theme.value(QLatin1String(key)).toString());
        if (c.isValid()) {
            into = c;
        }
    };
    read("accent", t.accent);
    read("accent2", t.accent2);
    read("accentText", t.accentText);
    return t;
}

QFont font(int pixelSize, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

QFont monoFont(int pixelSize) {
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setPixelSize(pixelSize);
    return f;
}

QColor mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

void roundedBox(QPainter& p, const QRectF& r, double radius, const QBrush& fill,
                const QColor& border) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (border.alpha() > 0) {
        p.setPen(QPen(border, 1));
        p.setBrush(fill);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(r, radius, radius);
    }
    p.restore();
}

int fittingPixelSize(const QString& text, double width, int maxSize, int minSize, bool bold) {
    for (int size = maxSize; size > minSize; --size) {
        if (QFontMetricsF(font(size, bold)).horizontalAdvance(text) <= width) {
            return size;
        }
    }
    return minSize;
}

}  // namespace art
