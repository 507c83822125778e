#pragma once

#include <QColor>
#include <QFont>
#include <QJsonObject>
#include <QPainter>
#include <QRectF>
#include <QString>

// The colours and type of Orvex's dark look, shared by the skin and the picker images.
namespace art {

struct Theme {
    QColor accent{0x4f, 0x8c, 0xff};
    QColor accent2{0x8a, 0x5c, 0xff};
    QColor accentText{Qt::white};

    // Reads "accent", "accent2" and "accentText" of a variant's theme; others keep defaults.
    static Theme from(const QJsonObject& theme);
};

// Surfaces, darkest first.
inline const QColor kWindowTop{0x1a, 0x1e, 0x29};
inline const QColor kWindowBottom{0x12, 0x15, 0x1c};
inline const QColor kTitleBar{0x0f, 0x12, 0x18};
inline const QColor kMenuBar{0x13, 0x17, 0x20};
inline const QColor kCard{0x1a, 0x1f, 0x2a};
inline const QColor kCardBorder{0x27, 0x2e, 0x3d};
inline const QColor kField{0x10, 0x13, 0x1a};
inline const QColor kFieldBorder{0x2e, 0x35, 0x47};
inline const QColor kControl{0x22, 0x28, 0x36};
inline const QColor kControlBorder{0x2e, 0x35, 0x47};
inline const QColor kControlHover{0x2b, 0x33, 0x46};
inline const QColor kDivider{0x22, 0x28, 0x37};
// Text.
inline const QColor kTextPrimary{0xe6, 0xe9, 0xf0};
inline const QColor kTextSecondary{0x9a, 0xa3, 0xb8};
inline const QColor kTextMuted{0x6f, 0x78, 0x91};
inline const QColor kDanger{0xff, 0x5d, 0x62};

QFont font(int pixelSize, bool bold = false);
QFont monoFont(int pixelSize);

// `a` blended toward `b` by `t` (0 keeps a, 1 gives b).
QColor mix(const QColor& a, const QColor& b, double t);

// A rounded rectangle aligned to the pixel grid so its 1-pixel border stays crisp.
void roundedBox(QPainter& p, const QRectF& r, double radius, const QBrush& fill,
                const QColor& border = Qt::transparent);

// The largest size from `maxSize` down to `minSize` at which `text` fits `width`.
int fittingPixelSize(const QString& text, double width, int maxSize, int minSize, bool bold);

}  // namespace art
