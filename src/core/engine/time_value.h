#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <optional>

// Time values are "hh:mm:ss": each part at least two digits, hours more when above 99.

// Whole seconds of a time value: hours two digits or more, minutes and seconds two digits each
// up to 59, the separators not examined, whatever follows ignored (the one clock-time reader,
// numbers/number_reader.h). Anything else gives 0.
qint32 secondsOfTimeValue(const QString& text);

// "%.2d:%.2d:%.2d" of hours, minutes and seconds; 360000 gives "100:00:00".
QString timeValueOfSeconds(qint32 seconds);

// Beyond this many seconds a position is not a time but a broken text.
constexpr qint64 kMaxPositionSeconds = 999'999'999'999;

// A position the encoder writes ("time=" of a progress line, "Duration:" of a probe), in
// hundredths of a second: "12.34" (seconds) or "00:01:23.45" (hh:mm:ss with a fraction);
// digits beyond the hundredths are cut off. "N/A", negatives and anything else: nullopt.
std::optional<qint64> hundredthsOfPosition(QByteArrayView token);
