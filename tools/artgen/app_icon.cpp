#include "app_icon.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <QTextStream>

#include "art_style.h"

namespace art {

namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256, 512};
constexpr double kGrid = 256.0;  // the icons are drawn on a 256-unit square

struct AppIcon {
    const char* id;
    bool dvd;
};
constexpr AppIcon kIcons[] = {{"io.orvex.Converter", false}, {"io.orvex.DvdConverter", true}};

// A rounded tile in the window's accent gradient, a film strip's holes along its sides, and the
// play mark; the DVD edition's play mark sits on a disc.
void paintAppIcon(QPainter& p, bool dvd) {
    p.setRenderHint(QPainter::Antialiasing);
    const Theme theme;
    const QRectF tile(16, 16, 224, 224);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0, theme.accent);
    fill.setColorAt(1, theme.accent2);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(tile, 48, 48);
    // The film strip: darker bands with holes, left and right.
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRect(QRectF(40, 16, 28, 224));
    p.drawRect(QRectF(188, 16, 28, 224));
    p.setBrush(QColor(255, 255, 255, 150));
    for (int i = 0; i < 6; ++i) {
        const double y = 38 + i * 32;
        p.drawRoundedRect(QRectF(47, y, 14, 16), 4, 4);
        p.drawRoundedRect(QRectF(195, y, 14, 16), 4, 4);
    }
    const QPointF centre(128, 128);
    if (dvd) {
        QPainterPath disc;
        disc.addEllipse(centre, 62, 62);
        disc.addEllipse(centre, 12, 12);
        p.setBrush(QColor(255, 255, 255, 235));
        p.drawPath(disc);
        p.setBrush(theme.accent2);
        const QPointF play[] = {{116, 98}, {158, 128}, {116, 158}};
        p.drawPolygon(play, 3);
        return;
    }
    p.setBrush(Qt::white);
    QPainterPath play;
    play.moveTo(104, 78);
    play.lineTo(172, 128);
    play.lineTo(104, 178);
    play.closeSubpath();
    QPen round(Qt::white, 16, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(round);
    p.drawPath(play);
}

bool writeSvg(const QString& path, bool dvd, QString* error) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(int(kGrid), int(kGrid)));
    svg.setViewBox(QRectF(0, 0, kGrid, kGrid));
    svg.setTitle(QStringLiteral("Orvex"));
    QPainter p;
    if (!p.begin(&svg)) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    paintAppIcon(p, dvd);
    p.end();
    return true;
}

bool writePng(const QString& path, int size, bool dvd, QString* error) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.scale(size / kGrid, size / kGrid);
    paintAppIcon(p, dvd);
    p.end();
    if (!image.save(path)) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace

bool writeAppIcons(const QString& outdir, QString* error) {
    const QDir out(outdir);
    QString qrc = QStringLiteral("<RCC>\n  <qresource prefix=\"/orvex/icons\">\n");
    for (const AppIcon& icon : kIcons) {
        const QString id = QString::fromLatin1(icon.id);
        const QString scalable = QStringLiteral("hicolor/scalable/apps");
        if (!out.mkpath(scalable) ||
            !writeSvg(out.filePath(scalable + QLatin1Char('/') + id + QStringLiteral(".svg")),
                      icon.dvd, error)) {
            *error = error->isEmpty() ? QStringLiteral("cannot make %1").arg(scalable) : *error;
            return false;
        }
        for (const int size : kSizes) {
            const QString folder = QStringLiteral("hicolor/%1x%1/apps").arg(size);
            const QString file = folder + QLatin1Char('/') + id + QStringLiteral(".png");
            if (!out.mkpath(folder) || !writePng(out.filePath(file), size, icon.dvd, error)) {
                *error = error->isEmpty() ? QStringLiteral("cannot make %1").arg(folder) : *error;
                return false;
            }
            qrc += QStringLiteral("    <file alias=\"%1/%2.png\">%3</file>\n")
                       .arg(id)
                       .arg(size)
                       .arg(out.filePath(file));
        }
    }
    qrc += QStringLiteral("  </qresource>\n</RCC>\n");
    QFile list(out.filePath(QStringLiteral("app_icons.qrc")));
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate) || list.write(qrc.toUtf8()) < 0) {
        *error = QStringLiteral("cannot write %1").arg(list.fileName());
        return false;
    }
    return true;
}

}  // namespace art
