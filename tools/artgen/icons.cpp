#include "icons.h"

#include <QHash>
#include <QPainterPath>
#include <functional>

namespace art {
namespace {

using Draw = std::function<void(QPainter&)>;

void minimize(QPainter& p) {
    p.drawLine(QPointF(6, 12.5), QPointF(18, 12.5));
}

void closeIcon(QPainter& p) {
    p.drawLine(QPointF(7, 7), QPointF(17, 17));
    p.drawLine(QPointF(17, 7), QPointF(7, 17));
}

void gear(QPainter& p) {
    QPainterPath path;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double a = i * M_PI / teeth;
        const double r = (i % 2 == 0) ? 9.0 : 7.0;
        const double a1 = a - M_PI / teeth / 2, a2 = a + M_PI / teeth / 2;
        const QPointF p1(12 + r * std::cos(a1), 12 + r * std::sin(a1));
        const QPointF p2(12 + r * std::cos(a2), 12 + r * std::sin(a2));
        if (i == 0) {
            path.moveTo(p1);
        } else {
            path.lineTo(p1);
        }
        path.lineTo(p2);
    }
    path.closeSubpath();
    p.drawPath(path);
    p.drawEllipse(QPointF(12, 12), 3, 3);
}

void grid(QPainter& p) {
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            p.drawRoundedRect(QRectF(5 + col * 8, 5 + row * 8, 6, 6), 1.5, 1.5);
        }
    }
}

QPainterPath folderPath() {
    QPainterPath path;
    path.moveTo(3, 7);
    path.lineTo(3, 18.5);
    path.quadTo(3, 20, 4.5, 20);
    path.lineTo(19.5, 20);
    path.quadTo(21, 20, 21, 18.5);
    path.lineTo(21, 9.5);
    path.quadTo(21, 8, 19.5, 8);
    path.lineTo(11.5, 8);
    path.lineTo(9.5, 5.5);
    path.lineTo(4.5, 5.5);
    path.quadTo(3, 5.5, 3, 7);
    return path;
}

void folder(QPainter& p) {
    p.drawPath(folderPath());
}

void open(QPainter& p) {
    p.drawLine(QPointF(11, 5), QPointF(6, 5));
    p.drawLine(QPointF(6, 5), QPointF(5, 6));
    p.drawLine(QPointF(5, 6), QPointF(5, 18));
    p.drawLine(QPointF(5, 18), QPointF(6, 19));
    p.drawLine(QPointF(6, 19), QPointF(18, 19));
    p.drawLine(QPointF(18, 19), QPointF(19, 18));
    p.drawLine(QPointF(19, 18), QPointF(19, 13));
    p.drawLine(QPointF(13, 11), QPointF(20, 4));
    p.drawLine(QPointF(14, 4), QPointF(20, 4));
    p.drawLine(QPointF(20, 4), QPointF(20, 10));
}

void plusAt(QPainter& p, QPointF c, double r) {
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
    p.drawLine(c - QPointF(0, r), c + QPointF(0, r));
}

void addfile(QPainter& p) {
    QPainterPath path;
    path.moveTo(13, 3.5);
    path.lineTo(6.5, 3.5);
    path.quadTo(5, 3.5, 5, 5);
    path.lineTo(5, 19);
    path.quadTo(5, 20.5, 6.5, 20.5);
    path.lineTo(11, 20.5);
    path.moveTo(13, 3.5);
    path.lineTo(18, 8.5);
    path.lineTo(18, 12);
    path.moveTo(13, 3.5);
    path.lineTo(13, 8.5);
    path.lineTo(18, 8.5);
    p.drawPath(path);
    plusAt(p, QPointF(17, 17), 3.5);
}

void addfolder(QPainter& p) {
    p.drawPath(folderPath());
    plusAt(p, QPointF(12, 14), 3);
}

void disc(QPainter& p) {
    p.drawEllipse(QPointF(12, 12), 9, 9);
    p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
    p.drawArc(QRectF(6, 6, 12, 12), 100 * 16, 60 * 16);
}

void ifo(QPainter& p) {
    QPainterPath path;
    path.moveTo(14, 3.5);
    path.lineTo(6.5, 3.5);
    path.quadTo(5, 3.5, 5, 5);
    path.lineTo(5, 19);
    path.quadTo(5, 20.5, 6.5, 20.5);
    path.lineTo(17.5, 20.5);
    path.quadTo(19, 20.5, 19, 19);
    path.lineTo(19, 8.5);
    path.lineTo(14, 3.5);
    path.lineTo(14, 8.5);
    path.lineTo(19, 8.5);
    p.drawPath(path);
    p.drawEllipse(QPointF(12, 14.5), 3.5, 3.5);
    p.drawPoint(QPointF(12, 14.5));
}

void chapters(QPainter& p) {
    for (int i = 0; i < 3; ++i) {
        const double y = 6.5 + i * 5.5;
        p.drawRoundedRect(QRectF(4, y - 1.5, 3, 3), 0.8, 0.8);
        p.drawLine(QPointF(10, y), QPointF(20, y));
    }
}

void remove(QPainter& p) {
    p.drawEllipse(QPointF(12, 12), 8.5, 8.5);
    p.drawLine(QPointF(8, 12), QPointF(16, 12));
}

void clear(QPainter& p) {
    p.drawLine(QPointF(4.5, 6.5), QPointF(19.5, 6.5));
    p.drawLine(QPointF(9.5, 6.5), QPointF(10, 4));
    p.drawLine(QPointF(10, 4), QPointF(14, 4));
    p.drawLine(QPointF(14, 4), QPointF(14.5, 6.5));
    QPainterPath bin;
    bin.moveTo(6.5, 6.5);
    bin.lineTo(7.5, 19);
    bin.quadTo(7.6, 20.5, 9, 20.5);
    bin.lineTo(15, 20.5);
    bin.quadTo(16.4, 20.5, 16.5, 19);
    bin.lineTo(17.5, 6.5);
    p.drawPath(bin);
    p.drawLine(QPointF(10.5, 10), QPointF(10.5, 17));
    p.drawLine(QPointF(13.5, 10), QPointF(13.5, 17));
}

void stop(QPainter& p) {
    p.save();
    p.setBrush(p.pen().color());
    p.drawRoundedRect(QRectF(6.5, 6.5, 11, 11), 2, 2);
    p.restore();
}

void convert(QPainter& p) {
    p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 150 * 16);
    p.drawArc(QRectF(4, 4, 16, 16), 210 * 16, 150 * 16);
    // Arrow heads at the ends of both arcs.
    p.drawLine(QPointF(18.9, 8), QPointF(19.8, 3.8));
    p.drawLine(QPointF(18.9, 8), QPointF(14.8, 7.4));
    p.drawLine(QPointF(5.1, 16), QPointF(4.2, 20.2));
    p.drawLine(QPointF(5.1, 16), QPointF(9.2, 16.6));
}

void play(QPainter& p) {
    QPainterPath path;
    path.moveTo(8, 5.5);
    path.lineTo(18.5, 12);
    path.lineTo(8, 18.5);
    path.closeSubpath();
    p.save();
    p.setBrush(p.pen().color());
    p.drawPath(path);
    p.restore();
}

void pause(QPainter& p) {
    p.save();
    p.setBrush(p.pen().color());
    p.drawRoundedRect(QRectF(7, 6, 3.5, 12), 1, 1);
    p.drawRoundedRect(QRectF(13.5, 6, 3.5, 12), 1, 1);
    p.restore();
}

void film(QPainter& p) {
    p.drawRoundedRect(QRectF(3.5, 5, 17, 14), 2, 2);
    p.drawLine(QPointF(7.5, 5), QPointF(7.5, 19));
    p.drawLine(QPointF(16.5, 5), QPointF(16.5, 19));
    for (int i = 0; i < 3; ++i) {
        const double y = 8 + i * 4;
        p.drawLine(QPointF(3.5, y), QPointF(7.5, y));
        p.drawLine(QPointF(16.5, y), QPointF(20.5, y));
    }
}

void chevron(QPainter& p) {
    p.drawLine(QPointF(7, 10), QPointF(12, 15));
    p.drawLine(QPointF(12, 15), QPointF(17, 10));
}

const QHash<QString, Draw>& icons() {
    static const QHash<QString, Draw> table = {
        {QStringLiteral("minimize"), minimize}, {QStringLiteral("close"), closeIcon},
        {QStringLiteral("gear"), gear},         {QStringLiteral("grid"), grid},
        {QStringLiteral("folder"), folder},     {QStringLiteral("open"), open},
        {QStringLiteral("addfile"), addfile},   {QStringLiteral("addfolder"), addfolder},
        {QStringLiteral("disc"), disc},         {QStringLiteral("ifo"), ifo},
        {QStringLiteral("chapters"), chapters}, {QStringLiteral("remove"), remove},
        {QStringLiteral("clear"), clear},       {QStringLiteral("stop"), stop},
        {QStringLiteral("convert"), convert},   {QStringLiteral("play"), play},
        {QStringLiteral("pause"), pause},       {QStringLiteral("film"), film},
        {QStringLiteral("chevron"), chevron},
    };
    return table;
}

}  // namespace

bool paintIcon(QPainter& p, const QString& name, const QRectF& box, const QColor& colour) {
    const auto it = icons().find(name);
    if (it == icons().end()) {
        return false;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width() / 24.0, box.height() / 24.0);
    // Keep strokes near 1.6 device pixels whatever the icon's size.
    QPen pen(colour, 1.6 * 24.0 / box.width(), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    (*it)(p);
    p.restore();
    return true;
}

}  // namespace art
