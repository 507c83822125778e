#include "core/engine/time_value.h"

#include <limits>
#include <string_view>

#include "core/engine/whole_number.h"
#include "numbers/number_reader.h"

namespace {

std::optional<qint64> digitsValue(QByteArrayView digits) {
    return wholeNumber(digits, kMaxPositionSeconds);
}

std::optional<orvex::numbers::ClockTime> clockTimeOf(QByteArrayView text) {
    return orvex::numbers::clockTime(std::string_view(text.data(), size_t(text.size())));
}

}  // namespace

qint32 secondsOfTimeValue(const QString& text) {
    // One byte per character, as the positions count them; nothing beyond ASCII is a digit.
    const QByteArray latin = text.toLatin1();
    const auto time = clockTimeOf(latin);
    if (!time || time->seconds > std::numeric_limits<qint32>::max()) {
        return 0;
    }
    return static_cast<qint32>(time->seconds);
}

QString timeValueOfSeconds(qint32 seconds) {
    return QString::asprintf("%.2d:%.2d:%.2d", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
}

std::optional<qint64> hundredthsOfPosition(QByteArrayView token) {
    // The whole seconds: a clock time (the same reader as time values), or plain seconds.
    qint64 seconds = 0;
    QByteArrayView rest;
    if (token.indexOf(':') >= 0) {
        const auto time = clockTimeOf(token);
        if (!time) {
            return std::nullopt;
        }
        seconds = time->seconds;
        rest = token.sliced(qsizetype(time->length));
    } else {
        const qsizetype dot = token.indexOf('.');
        const std::optional<qint64> whole = digitsValue(dot < 0 ? token : token.first(dot));
        if (!whole) {
            return std::nullopt;
        }
        seconds = *whole;
        rest = dot < 0 ? QByteArrayView() : token.sliced(dot);
    }
    // Then a fraction, or nothing: ".45", or a dot alone.
    qint64 hundredths = 0;
    if (!rest.isEmpty()) {
        const QByteArrayView fraction = rest.sliced(1);
        if (rest[0] != '.' || (!fraction.isEmpty() && !digitsValue(fraction))) {
            return std::nullopt;
        }
        for (qsizetype i = 0; i < 2; ++i) {
            hundredths = hundredths * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
        }
    }
    return seconds * 100 + hundredths;
}
