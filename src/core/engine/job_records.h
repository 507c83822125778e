#pragma once

#include <QString>
#include <QtGlobal>

// What was read about a source when its row was added. Kept beside every row of the job list.
struct Toriginalinfo {
    QString source;      // full path of the source file; empty for DVD rows
    QString dimensions;  // "320x240"; also the "Width * Height" column
    QString duration;    // "hh:mm:ss"; also the "Time" column
    QString spare;       // never filled nor read; kept so the record keeps its known shape
    QString videoKbps;   // decimal text
    QString audioKbps;   // decimal text
};

// Where a DVD row's title or chapter lies on the disc (DVD edition only).
struct TConvertInfo {
    QString audioStream = QStringLiteral("0");
    QString subtitleStream = QStringLiteral("0");
    qint32 startSector = 0;
    qint32 endSector = 0;
    QString ifoPath;  // e.g. /media/dvd/VIDEO_TS/VTS_01_0.IFO
    qint64 titleSeconds = 0;
    qint32 chapterStart = 0;
    qint32 chapterEnd = 0;
};
