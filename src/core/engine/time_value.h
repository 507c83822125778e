#pragma once

#include <QString>
#include <QtGlobal>

// Time values are "hh:mm:ss": each part at least two digits, hours more when above 99.

// Whole seconds of a time value: hours two digits or more, minutes and seconds two digits each
// up to 59, the separators not examined, whatever follows ignored (the one clock-time reader,
// numbers/number_reader.h). Anything else gives 0.
qint32 secondsOfTimeValue(const QString& text);

// "%.2d:%.2d:%.2d" of hours, minutes and seconds; 360000 gives "100:00:00".
QString timeValueOfSeconds(qint32 seconds);
