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

QString outputWriteError(const QByteArray& output) {
    // "Error writing trailer of OUT: REASON", "Error closing file OUT: REASON"; the reason alone
    // tells the person what to do, the temporary file's name would not.
    static const QRegularExpression kWriteError(
        QStringLiteral("^(?:Error writing trailer of|Error closing file) .*: ([^:]+)$"));
    const QStringList lines = lastOutputLines(output, 1000);
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = kWriteError.match(line);
        if (m.hasMatch()) {
            return m.captured(1).trimmed();
        }
    }
    return {};
}
