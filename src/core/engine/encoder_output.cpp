#include "core/engine/encoder_output.h"

#include <QRegularExpression>

namespace {

// FFmpeg's banner (its version, compiler, configuration and library versions) comes first in
// every run and says nothing about why one failed; it would fill the lines a person reads.
bool isBanner(const QString& line) {
    static const QRegularExpression banner(QStringLiteral(
        "^(ffmpeg version |built with |configuration: "
        "|lib(avutil|avcodec|avformat|avdevice|avfilter|swscale|swresample|postproc)\\s+\\d+\\.)"));
    return banner.match(line).hasMatch();
}

}  // namespace

QStringList lastOutputLines(const QByteArray& output, int count) {
    QStringList lines;
    for (const QByteArray& line : output.split('\n')) {
        const qsizetype cr = line.lastIndexOf('\r', line.endsWith('\r') ? line.size() - 2 : -1);
        const QString last = QString::fromUtf8(cr < 0 ? line : line.mid(cr + 1)).trimmed();
        if (!last.isEmpty() && !isBanner(last)) {
            lines << last;
        }
    }
    if (lines.size() > count) {
        lines = lines.mid(lines.size() - count);
    }
    return lines;
}
