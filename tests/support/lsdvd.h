#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace orvex::test {

// A title as lsdvd reports it; lsdvd reads a disc folder with code of its own, so tests compare
// against it.
struct LsdvdTitle {
    int vts = 0, ttn = 0;
    int seconds = 0;  // length, cut to whole seconds
    QList<int> cellSeconds;
    QString size, format, aspect;  // "720x576", "PAL", "4:3"
    QStringList audio;             // "English AC-3 2ch" as ifoinfo writes it, without the id
    QStringList subtitles;         // "Deutsch"
};

// lsdvd -x on a disc folder; empty when lsdvd fails.
QList<LsdvdTitle> lsdvd(const QString& root);

}  // namespace orvex::test
