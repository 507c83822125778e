#pragma once

#include <QString>
#include <QtGlobal>
#include <variant>

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

// A file source with what its probe found beyond the record's texts.
struct FileSource {
    QString path;
    bool hasVideo = true;
    bool hasAudio = true;
};

// Where a row's job reads from: a file, or a title or chapter of a DVD. The queue picks the
// job start from it, and the DVD locator and the preview's input are made from it.
using JobSource = std::variant<FileSource, TConvertInfo>;
