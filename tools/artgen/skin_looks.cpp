#include <QLinearGradient>

#include "icons.h"
#include "skin_artwork.h"

namespace art {
namespace {

enum class State { Normal, Hover, Pressed };

State stateOf(const QString& s) {
    if (s == QLatin1String("hover")) {
        return State::Hover;
    }
    if (s == QLatin1String("pressed")) {
        return State::Pressed;
    }
    return State::Normal;
}

QString str(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString();
}

// Icon and label side by side, centred in `r`.
void paintContent(QPainter& p, const QRectF& r, const QString& icon, const QString& label,
                  const QColor& iconColour, const QColor& textColour, int iconSize, int textSize,
                  bool bold) {
    p.setFont(font(textSize, bold));
    const double textWidth = label.isEmpty() ? 0 : p.fontMetrics().horizontalAdvance(label);
    const double gap = (!icon.isEmpty() && !label.isEmpty()) ? 7 : 0;
    const double iconWidth = icon.isEmpty() ? 0 : iconSize;
    double x = r.center().x() - (iconWidth + gap + textWidth) / 2;
    if (!icon.isEmpty()) {
        paintIcon(p, icon, QRectF(x, r.center().y() - iconSize / 2.0, iconSize, iconSize),
                  iconColour);
        x += iconWidth + gap;
    }
    if (!label.isEmpty()) {
        p.setPen(textColour);
        p.drawText(QRectF(x, r.top(), textWidth + 2, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   label);
    }
}

void paintWindowButton(QPainter& p, const QRectF& r, const QString& icon, State s, bool danger) {
    QColor fill = Qt::transparent;
    QColor ink = kTextSecondary;
    if (s == State::Hover) {
        fill = danger ? QColor(0xe5, 0x48, 0x4d) : kControlHover;
        ink = danger ? QColor(Qt::white) : kTextPrimary;
    } else if (s == State::Pressed) {
        fill = danger ? QColor(0xb8, 0x32, 0x37) : kControl;
        ink = Qt::white;
    }
    roundedBox(p, r, 5, fill);
    paintIcon(p, icon, QRectF(r.center().x() - 8, r.center().y() - 8, 16, 16), ink);
}

void paintMenu(QPainter& p, const QRectF& r, const QJsonObject& d, State s, const Theme& t) {
    QColor fill = Qt::transparent;
    QColor ink = kTextSecondary;
    if (s == State::Hover) {
        fill = kControlHover;
        ink = kTextPrimary;
    } else if (s == State::Pressed) {
        fill = mix(t.accent, kMenuBar, 0.35);
        ink = Qt::white;
    }
    roundedBox(p, r, 5, fill);
    const QString icon = str(d, "icon");
    const QString label = str(d, "label");
    if (!icon.isEmpty()) {
        paintContent(p, r, icon, label, ink, ink, 14, 12, false);
        return;
    }
    // A menu opener: its label with a small chevron after it.
    p.setFont(font(12));
    const double w = p.fontMetrics().horizontalAdvance(label);
    const double x = r.center().x() - (w + 14) / 2;
    p.setPen(ink);
    p.drawText(QRectF(x, r.top(), w + 2, r.height()), Qt::AlignLeft | Qt::AlignVCenter, label);
    paintIcon(p, QStringLiteral("chevron"), QRectF(x + w + 3, r.center().y() - 6, 12, 12), ink);
}

void paintIconButton(QPainter& p, const QRectF& r, const QString& icon, State s, const Theme& t,
                     double radius) {
    QColor fill = kControl;
    QColor border = kControlBorder;
    QColor ink = kTextSecondary;
    if (s == State::Hover) {
        fill = kControlHover;
        border = t.accent;
        ink = kTextPrimary;
    } else if (s == State::Pressed) {
        fill = mix(t.accent, kControl, 0.25);
        border = t.accent;
        ink = t.accentText;
    }
    roundedBox(p, r, radius, fill, border);
    const double size = std::min(r.width(), r.height()) - 8;
    paintIcon(p, icon, QRectF(r.center().x() - size / 2, r.center().y() - size / 2, size, size),
              ink);
}

void paintTool(QPainter& p, const QRectF& r, const QJsonObject& d, State s, const Theme& t) {
    QColor fill = QColor(0x1f, 0x24, 0x30);
    QColor border = QColor(0x2b, 0x32, 0x42);
    QColor icon = mix(t.accent, kTextPrimary, 0.25);
    QColor ink = QColor(0xd5, 0xda, 0xe5);
    QRectF inner = r;
    if (s == State::Hover) {
        fill = kControlHover;
        border = t.accent;
        ink = Qt::white;
        icon = mix(t.accent, Qt::white, 0.45);
    } else if (s == State::Pressed) {
        fill = mix(t.accent, kControl, 0.3);
        border = mix(t.accent, Qt::white, 0.2);
        ink = t.accentText;
        icon = t.accentText;
        inner.translate(0, 1);
    }
    roundedBox(p, r, 7, fill, border);
    paintContent(p, inner, str(d, "icon"), str(d, "label"), icon, ink, 18, 12, false);
}

void paintPrimary(QPainter& p, const QRectF& r, const QJsonObject& d, State s, const Theme& t) {
    QColor a = t.accent;
    QColor b = t.accent2;
    QRectF inner = r;
    if (s == State::Hover) {
        a = mix(a, Qt::white, 0.18);
        b = mix(b, Qt::white, 0.18);
    } else if (s == State::Pressed) {
        a = mix(a, Qt::black, 0.25);
        b = mix(b, Qt::black, 0.25);
        inner.translate(0, 1);
    }
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    roundedBox(p, r, 8, g, s == State::Hover ? mix(a, Qt::white, 0.4) : QColor(Qt::transparent));
    paintContent(p, inner, str(d, "icon"), str(d, "label"), t.accentText, t.accentText, 18, 14,
                 true);
}

void paintDanger(QPainter& p, const QRectF& r, const QJsonObject& d, State s) {
    QColor fill = QColor(0x1f, 0x24, 0x30);
    QColor border = QColor(0x4a, 0x2c, 0x34);
    QColor icon = kDanger;
    QColor ink = kTextPrimary;
    QRectF inner = r;
    if (s == State::Hover) {
        fill = QColor(0x3a, 0x1f, 0x26);
        border = kDanger;
        ink = Qt::white;
    } else if (s == State::Pressed) {
        fill = QColor(0xc9, 0x3c, 0x42);
        border = kDanger;
        icon = Qt::white;
        ink = Qt::white;
        inner.translate(0, 1);
    }
    roundedBox(p, r, 8, fill, border);
    paintContent(p, inner, str(d, "icon"), str(d, "label"), icon, ink, 16, 13, true);
}

QImage paintBarPart(QSize size, const QString& part, const Theme& t) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const QRectF groove(0, size.height() / 2.0 - 2.5, size.width(), 5);
    if (part == QLatin1String("track")) {
        roundedBox(p, groove, 2.5, QColor(0x2a, 0x31, 0x42));
    } else if (part == QLatin1String("fill")) {
        QLinearGradient g(groove.topLeft(), groove.topRight());
        g.setColorAt(0, t.accent);
        g.setColorAt(1, t.accent2);
        roundedBox(p, groove, 2.5, g);
    }
    return image;
}

QImage paintThumb(int diameter, const Theme& t) {
    QImage image(diameter, diameter, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(t.accent, 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(1, 1, diameter - 2, diameter - 2));
    return image;
}

}  // namespace

QImage paintLook(const SkinObjectDef& object, QSize size, const QString& state,
                 const Theme& theme) {
    if (object.kind == SkinObjectKind::Bar) {
        if (state == QLatin1String("thumb")) {
            return paintThumb(size.height(), theme);
        }
        return paintBarPart(size, state, theme);
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r(0, 0, size.width(), size.height());
    const QJsonObject& d = object.design;
    const QString style = str(d, "style");
    const State s = stateOf(state);
    if (style == QLatin1String("window") || style == QLatin1String("window-close")) {
        paintWindowButton(p, r, str(d, "icon"), s, style == QLatin1String("window-close"));
    } else if (style == QLatin1String("menu")) {
        paintMenu(p, r, d, s, theme);
    } else if (style == QLatin1String("icon")) {
        paintIconButton(p, r, str(d, "icon"), s, theme, 5);
    } else if (style == QLatin1String("transport")) {
        paintIconButton(p, r, str(d, "icon"), s, theme, 6);
    } else if (style == QLatin1String("tool")) {
        paintTool(p, r, d, s, theme);
    } else if (style == QLatin1String("primary")) {
        paintPrimary(p, r, d, s, theme);
    } else if (style == QLatin1String("danger")) {
        paintDanger(p, r, d, s);
    } else {
        paintIconButton(p, r, str(d, "icon"), s, theme, 5);
    }
    return image;
}

}  // namespace art
