#pragma once

#include <QString>
#include <QtGlobal>

// Time values are "hh:mm:ss": each part at least two digits, hours more when above 99.

// Whole seconds of a time value. Characters 1-2 are hours, 4-5 minutes, 7-8 seconds; the
// separators are not examined. Anything that is not a decimal integer there gives 0.
qint32 secondsOfTimeValue(const QString& text);

// "%.2d:%.2d:%.2d" of hours, minutes and seconds; 360000 gives "100:00:00".
QString timeValueOfSeconds(qint32 seconds);
