#include "core/engine/encoder_output.h"

QStringList lastOutputLines(const QByteArray& output, int count) {
    QStringList lines;
    for (const QByteArray& line : output.split('\n')) {
        const qsizetype cr = line.lastIndexOf('\r', line.endsWith('\r') ? line.size() - 2 : -1);
        const QString last = QString::fromUtf8(cr < 0 ? line : line.mid(cr + 1)).trimmed();
        if (!last.isEmpty()) {
            lines << last;
        }
    }
    if (lines.size() > count) {
        lines = lines.mid(lines.size() - count);
    }
    return lines;
}
