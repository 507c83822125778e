#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orvex::test {

// A title as lsdvd reports it (lsdvd counts a title's chapters by the disc's table of them); lsdvd
// reads a disc folder with code of its own, so tests compare against it.
struct LsdvdTitle {
    int vts = 0, ttn = 0;
    int seconds = 0;  // length, cut to whole seconds
    QList<int> cellSeconds;
    QList<int> chapterSeconds;
    QString size, format, aspect;  // "720x576", "PAL", "4:3"
    QStringList audio;             // "English AC-3 2ch" as ifoinfo writes it, without the id
    QStringList audioLanguages;    // "en"
    QStringList subtitles;         // "Deutsch"
    QStringList palette;           // "eb8080", 16 of them: the subpicture colours, YCrCb
};

// lsdvd -x on a disc folder; empty when lsdvd fails.
QList<LsdvdTitle> lsdvd(const QString& root);

}  // namespace orvex::test
