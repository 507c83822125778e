#include "core/engine/dvd_locator.h"

#include <QDir>

namespace {

bool isSeparator(QChar c) {
    // Both separators are accepted: IFO paths may come from either kind of system.
    return c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QDir::separator();
}

QString fileNamePart(const QString& path) {
    qsizetype i = path.size();
    while (i > 0 && !isSeparator(path.at(i - 1))) {
        --i;
    }
    return path.mid(i);
}

QString discRoot(const QString& ifoPath) {
    // The first "video_ts" that is a whole path step: "/media/myvideo_ts/VIDEO_TS/..." has its
    // root at /media/myvideo_ts, not at /media/my.
    qsizetype at = ifoPath.indexOf(QLatin1String("video_ts"), 0, Qt::CaseInsensitive);
    while (at > 0 && !isSeparator(ifoPath.at(at - 1))) {
        at = ifoPath.indexOf(QLatin1String("video_ts"), at + 1, Qt::CaseInsensitive);
    }
    return at > 0 ? ifoPath.left(at - 1) : QString();
}

}  // namespace

QString dvdLocator(const TConvertInfo& info) {
    const QString setNumber = fileNamePart(info.ifoPath).mid(4, 2);
    const QLatin1Char star('*');
    return QStringLiteral("vts://") + setNumber + star + QString::number(info.startSector) + star +
           QString::number(info.endSector) + star + info.audioStream + star + info.subtitleStream +
           QStringLiteral("*/") + discRoot(info.ifoPath);
}
