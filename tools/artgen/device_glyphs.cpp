#include "device_glyphs.h"

#include <QHash>
#include <QPainterPath>
#include <functional>

#include "icons.h"

namespace art {
namespace {

using Draw = std::function<void(QPainter&)>;

void filled(QPainter& p, const std::function<void()>& draw) {
    p.save();
    p.setBrush(p.pen().color());
    draw();
    p.restore();
}

void note(QPainter& p) {
    p.drawLine(QPointF(9, 17), QPointF(9, 5));
    p.drawLine(QPointF(9, 5), QPointF(19, 3));
    p.drawLine(QPointF(19, 3), QPointF(19, 15));
    p.drawLine(QPointF(9, 9), QPointF(19, 7));
    filled(p, [&p] {
        p.drawEllipse(QPointF(6.5, 17.5), 2.8, 2.3);
        p.drawEllipse(QPointF(16.5, 15.5), 2.8, 2.3);
    });
}

void ipod(QPainter& p) {
    p.drawRoundedRect(QRectF(6.5, 2.5, 11, 19), 2.5, 2.5);
    p.drawRoundedRect(QRectF(8.5, 4.5, 7, 6), 1, 1);
    p.drawEllipse(QPointF(12, 16), 3.3, 3.3);
    filled(p, [&p] { p.drawEllipse(QPointF(12, 16), 0.9, 0.9); });
}

void iphone(QPainter& p) {
    p.drawRoundedRect(QRectF(6.5, 2, 11, 20), 2.8, 2.8);
    p.drawLine(QPointF(10.5, 4), QPointF(13.5, 4));
    p.drawRect(QRectF(8.3, 5.5, 7.4, 11.5));
    filled(p, [&p] { p.drawEllipse(QPointF(12, 19.4), 0.9, 0.9); });
}

void gphone(QPainter& p) {
    p.drawRoundedRect(QRectF(6, 2, 12, 20), 2.5, 2.5);
    p.drawRect(QRectF(7.8, 4.5, 8.4, 13));
    // A small robot head on the screen.
    p.drawArc(QRectF(9.5, 9, 5, 5), 0, 180 * 16);
    p.drawLine(QPointF(9.5, 11.5), QPointF(14.5, 11.5));
    p.drawLine(QPointF(10.3, 9.5), QPointF(9.6, 8.4));
    p.drawLine(QPointF(13.7, 9.5), QPointF(14.4, 8.4));
    p.drawLine(QPointF(10, 19.8), QPointF(14, 19.8));
}

void appletv(QPainter& p) {
    p.drawRoundedRect(QRectF(3, 3, 18, 12), 1.5, 1.5);
    p.drawLine(QPointF(10, 15), QPointF(9, 17));
    p.drawLine(QPointF(14, 15), QPointF(15, 17));
    p.drawRoundedRect(QRectF(6, 17.5, 12, 3.5), 1.5, 1.5);
    filled(p, [&p] { p.drawEllipse(QPointF(15.5, 19.25), 0.7, 0.7); });
}

void psp(QPainter& p) {
    p.drawRoundedRect(QRectF(1.5, 7, 21, 10), 4.5, 4.5);
    p.drawRect(QRectF(7, 8.8, 10, 6.4));
    p.drawLine(QPointF(3, 12), QPointF(5.6, 12));
    p.drawLine(QPointF(4.3, 10.7), QPointF(4.3, 13.3));
    filled(p, [&p] {
        p.drawEllipse(QPointF(19.6, 10.8), 0.8, 0.8);
        p.drawEllipse(QPointF(19.6, 13.2), 0.8, 0.8);
    });
}

void gamepad(QPainter& p) {
    QPainterPath pad;
    pad.moveTo(7, 7);
    pad.lineTo(17, 7);
    pad.cubicTo(21, 7, 22.5, 12, 22, 16);
    pad.cubicTo(21.6, 19, 18.5, 19.5, 17, 17);
    pad.lineTo(15.5, 15);
    pad.lineTo(8.5, 15);
    pad.lineTo(7, 17);
    pad.cubicTo(5.5, 19.5, 2.4, 19, 2, 16);
    pad.cubicTo(1.5, 12, 3, 7, 7, 7);
    p.drawPath(pad);
    p.drawLine(QPointF(5, 11), QPointF(9, 11));
    p.drawLine(QPointF(7, 9), QPointF(7, 13));
    filled(p, [&p] {
        p.drawEllipse(QPointF(16, 10), 0.9, 0.9);
        p.drawEllipse(QPointF(18, 12), 0.9, 0.9);
    });
}

void phone(QPainter& p) {
    p.drawRoundedRect(QRectF(7, 2, 10, 20), 2, 2);
    p.drawRect(QRectF(8.7, 4, 6.6, 6));
    filled(p, [&p] {
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                p.drawEllipse(QPointF(9.6 + col * 2.4, 13 + row * 2.6), 0.6, 0.6);
            }
        }
    });
}

void pda(QPainter& p) {
    p.drawRoundedRect(QRectF(5, 2.5, 13, 19), 2, 2);
    p.drawRect(QRectF(7, 4.5, 9, 10));
    p.drawLine(QPointF(8, 18), QPointF(15, 18));
    p.drawLine(QPointF(20.5, 4), QPointF(20.5, 19));
}

void player(QPainter& p) {
    p.drawRoundedRect(QRectF(2.5, 5.5, 19, 13), 2.5, 2.5);
    p.drawRect(QRectF(4.5, 7.5, 11, 9));
    p.drawEllipse(QPointF(18.5, 12), 1.6, 1.6);
    QPainterPath tri;
    tri.moveTo(9, 10);
    tri.lineTo(12, 12);
    tri.lineTo(9, 14);
    tri.closeSubpath();
    filled(p, [&p, &tri] { p.drawPath(tri); });
}

void hd(QPainter& p) {
    p.drawRoundedRect(QRectF(2, 3.5, 20, 13), 1.5, 1.5);
    p.drawLine(QPointF(12, 16.5), QPointF(12, 19.5));
    p.drawLine(QPointF(8, 20), QPointF(16, 20));
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(7);
    p.save();
    p.setFont(f);
    p.drawText(QRectF(2, 3.5, 20, 13), Qt::AlignCenter, QStringLiteral("HD"));
    p.restore();
}

void spark(QPainter& p) {
    QPainterPath star;
    star.moveTo(12, 2.5);
    star.quadTo(13, 11, 21.5, 12);
    star.quadTo(13, 13, 12, 21.5);
    star.quadTo(11, 13, 2.5, 12);
    star.quadTo(11, 11, 12, 2.5);
    p.drawPath(star);
    filled(p, [&p] { p.drawEllipse(QPointF(19, 5), 1.2, 1.2); });
}

const QHash<QString, Draw>& glyphs() {
    static const QHash<QString, Draw> table = {
        {QStringLiteral("note"), note},       {QStringLiteral("ipod"), ipod},
        {QStringLiteral("iphone"), iphone},   {QStringLiteral("gphone"), gphone},
        {QStringLiteral("appletv"), appletv}, {QStringLiteral("psp"), psp},
        {QStringLiteral("gamepad"), gamepad}, {QStringLiteral("phone"), phone},
        {QStringLiteral("pda"), pda},         {QStringLiteral("player"), player},
        {QStringLiteral("hd"), hd},           {QStringLiteral("spark"), spark},
    };
    return table;
}

}  // namespace

void paintGlyph(QPainter& p, const QString& name, const QRectF& box, const QColor& colour) {
    const auto it = glyphs().find(name);
    if (it == glyphs().end()) {
        paintIcon(p, name, box, colour);
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    const double px = box.width() <= 16 ? 1.25 : 1.5;
    p.setPen(QPen(colour, px * 24.0 / box.width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    (*it)(p);
    p.restore();
}

QString glyphOfCategory(int category) {
    static const char* const names[] = {"film",    "note", "ipod",    "iphone", "gphone",
                                        "appletv", "psp",  "gamepad", "phone",  "pda",
                                        "player",  "hd",   "spark"};
    if (category >= 1 && category <= 13) {
        return QLatin1String(names[category - 1]);
    }
    return QStringLiteral("grid");
}

}  // namespace art
