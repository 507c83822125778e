#pragma once

#include <QByteArray>
#include <QStringList>

// The last lines an encoder wrote, as a person wants to read them after a failure: FFmpeg
// rewrites its progress record with CR only, so of each LF-ended line only its last record
// counts; blank lines and FFmpeg's banner are dropped. At most `count` lines, oldest first.
QStringList lastOutputLines(const QByteArray& output, int count);
