#pragma once

#include <QByteArray>
#include <QStringList>

// The last lines an encoder wrote, as a person wants to read them after a failure: FFmpeg
// rewrites its progress record with CR only, so of each LF-ended line only its last record
// counts; blank lines and FFmpeg's banner are dropped. At most `count` lines, oldest first.
QStringList lastOutputLines(const QByteArray& output, int count);

// Why the encoder could not write its output whole ("No space left on device"), as it said it;
// empty when it did not say so. FFmpeg 5.1 exits with 0 when writing its output's end or
// closing the file fails (a full disk, a drive gone), so the words are all there is to go by.
QString outputWriteError(const QByteArray& output);
