#include "core/engine/time_value.h"

#include <QStringView>
#include <limits>

namespace {

bool allDigits(QStringView part) {
    if (part.isEmpty()) {
        return false;
    }
    for (const QChar c : part) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return false;
        }
    }
    return true;
}

}  // namespace

qint32 secondsOfTimeValue(const QString& text) {
    // Hours are characters 1-2; timeValueOfSeconds writes more digits above 99 hours, so a
    // longer run of digits before the first ':' is read whole to make the two conversions agree.
    qsizetype leading = 0;
    while (leading < text.size() && text.at(leading) >= QLatin1Char('0') &&
           text.at(leading) <= QLatin1Char('9')) {
        ++leading;
    }
    const qsizetype hourDigits = (leading > 2 && leading <= 7 && leading < text.size() &&
                                  text.at(leading) == QLatin1Char(':'))
                                     ? leading
                                     : 2;
    const QStringView t(text);
    const QStringView h = t.mid(0, hourDigits);
    const QStringView m = t.mid(hourDigits + 1, 2);
    const QStringView s = t.mid(hourDigits + 4, 2);
    if (h.size() != hourDigits || m.size() != 2 || s.size() != 2 || !allDigits(h) ||
        !allDigits(m) || !allDigits(s)) {
        return 0;
    }
    const qint64 total = h.toLongLong() * 3600 + m.toInt() * 60 + s.toInt();
    return total > std::numeric_limits<qint32>::max() ? 0 : static_cast<qint32>(total);
}

QString timeValueOfSeconds(qint32 seconds) {
    return QString::asprintf("%.2d:%.2d:%.2d", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
}
