#include "core/engine/time_value.h"

#include <limits>

#include "numbers/number_reader.h"

qint32 secondsOfTimeValue(const QString& text) {
    // Anything but ASCII is no time value; Latin-1 turns it into '?', which no reader takes.
    const QByteArray latin = text.toLatin1();
    const auto time =
        orvex::numbers::clockTime(std::string_view(latin.data(), size_t(latin.size())));
    if (!time || time->seconds > std::numeric_limits<qint32>::max()) {
        return 0;
    }
    return static_cast<qint32>(time->seconds);
}

QString timeValueOfSeconds(qint32 seconds) {
    return QString::asprintf("%.2d:%.2d:%.2d", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
}
