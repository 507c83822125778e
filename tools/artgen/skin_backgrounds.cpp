#include <QJsonArray>
#include <QLinearGradient>
#include <QPainterPath>

#include "icons.h"
#include "skin_artwork.h"

namespace art {
namespace {

QRectF rectOf(const QJsonObject& d) {
    const QJsonArray a = d.value(QStringLiteral("rect")).toArray();
    return QRectF(a.at(0).toInt(), a.at(1).toInt(), a.at(2).toInt(), a.at(3).toInt());
}

Qt::Alignment alignOf(const QJsonObject& d) {
    const QString a = d.value(QStringLiteral("align")).toString();
    if (a == QLatin1String("right")) {
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    if (a == QLatin1String("center")) {
        return Qt::AlignCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void paintWindow(QPainter& p, QSizeF size) {
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, kWindowTop);
    g.setColorAt(1, kWindowBottom);
    p.fillRect(QRectF(QPointF(0, 0), size), g);
}

void paintBar(QPainter& p, const QRectF& r, const QColor& fill) {
    p.fillRect(r, fill);
    p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), kDivider);
}

void paintBrand(QPainter& p, const QJsonObject& d, const Theme& theme) {
    const QRectF r = rectOf(d);
    const QRectF mark(r.left(), r.center().y() - 10, 20, 20);
    QLinearGradient g(mark.topLeft(), mark.bottomRight());
    g.setColorAt(0, theme.accent);
    g.setColorAt(1, theme.accent2);
    roundedBox(p, mark, 5, g);
    paintIcon(p, QStringLiteral("play"), mark.adjusted(3, 3, -3, -3), Qt::white);

    const QString text = d.value(QStringLiteral("text")).toString();
    p.setFont(font(13, true));
    p.setPen(kTextPrimary);
    const QRectF textRect(mark.right() + 9, r.top(), r.width(), r.height());
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text);

    const QString badge = d.value(QStringLiteral("badge")).toString();
    if (badge.isEmpty()) {
        return;
    }
    const double x = textRect.left() + p.fontMetrics().horizontalAdvance(text) + 10;
    p.setFont(font(10, true));
    const double w = p.fontMetrics().horizontalAdvance(badge) + 14;
    const QRectF pill(x, r.center().y() - 9, w, 18);
    roundedBox(p, pill, 9, mix(theme.accent, kTitleBar, 0.8), mix(theme.accent, kTitleBar, 0.3));
    p.setPen(mix(theme.accent, Qt::white, 0.45));
    p.drawText(pill, Qt::AlignCenter, badge);
}

void paintLabel(QPainter& p, const QJsonObject& d) {
    const QString style = d.value(QStringLiteral("style")).toString();
    QFont f = font(11);
    QColor colour = kTextSecondary;
    if (style == QLatin1String("section")) {
        f = font(10, true);
        f.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
        colour = kTextMuted;
    } else if (style == QLatin1String("hint")) {
        colour = kTextMuted;
    }
    p.setFont(f);
    p.setPen(colour);
    p.drawText(rectOf(d), int(alignOf(d)), d.value(QStringLiteral("text")).toString());
}

void paintScreen(QPainter& p, const QRectF& r) {
    roundedBox(p, r, 4, QColor(0x07, 0x09, 0x0d), kCardBorder);
    const QRectF icon(r.center().x() - 14, r.center().y() - 22, 28, 28);
    paintIcon(p, QStringLiteral("film"), icon, QColor(0x3a, 0x42, 0x55));
    p.setFont(font(10));
    p.setPen(QColor(0x4d, 0x55, 0x6a));
    p.drawText(QRectF(r.left(), icon.bottom() + 4, r.width(), 16), Qt::AlignCenter,
               QStringLiteral("Preview"));
}

void paintEmpty(QPainter& p, const QJsonObject& d, const Theme& theme) {
    const QRectF r = rectOf(d);
    const QPointF c = r.center();
    const QRectF halo(c.x() - 34, c.y() - 62, 68, 68);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(mix(theme.accent, kCard, 0.86));
    p.drawEllipse(halo);
    p.restore();
    paintIcon(p, d.value(QStringLiteral("icon")).toString(), halo.adjusted(16, 16, -16, -16),
              mix(theme.accent, kTextPrimary, 0.2));
    p.setFont(font(15, true));
    p.setPen(kTextPrimary);
    p.drawText(QRectF(r.left(), halo.bottom() + 12, r.width(), 22), Qt::AlignCenter,
               d.value(QStringLiteral("title")).toString());
    p.setFont(font(11));
    p.setPen(kTextSecondary);
    p.drawText(QRectF(r.left(), halo.bottom() + 36, r.width(), 18), Qt::AlignCenter,
               d.value(QStringLiteral("text")).toString());
}

}  // namespace

QImage paintBackground(const SkinForm& form, const SkinVariant& variant, const Theme& theme) {
    QImage image(form.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kWindowBottom);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (const QJsonValue& v : variant.decor) {
        const QJsonObject d = v.toObject();
        const QString type = d.value(QStringLiteral("type")).toString();
        const QRectF r = rectOf(d);
        if (type == QLatin1String("window")) {
            paintWindow(p, form.size);
        } else if (type == QLatin1String("titlebar")) {
            paintBar(p, r, kTitleBar);
        } else if (type == QLatin1String("menubar")) {
            paintBar(p, r, kMenuBar);
        } else if (type == QLatin1String("brand")) {
            paintBrand(p, d, theme);
        } else if (type == QLatin1String("card")) {
            roundedBox(p, r, 8, kCard, kCardBorder);
        } else if (type == QLatin1String("field")) {
            roundedBox(p, r, 5, kField, kFieldBorder);
        } else if (type == QLatin1String("label")) {
            paintLabel(p, d);
        } else if (type == QLatin1String("screen")) {
            paintScreen(p, r);
        } else if (type == QLatin1String("groove")) {
            roundedBox(p, r, r.height() / 2, kField, kDivider);
        } else if (type == QLatin1String("empty")) {
            paintEmpty(p, d, theme);
        }
    }
    // The frame the window manager no longer draws.
    p.setPen(QPen(QColor(0x30, 0x38, 0x4b), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, form.size.width() - 1, form.size.height() - 1));
    return image;
}

}  // namespace art
