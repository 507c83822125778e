#include "core/engine/time_value.h"

#include <QStringView>
#include <limits>

#include "core/engine/whole_number.h"

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

std::optional<qint64> digitsValue(QByteArrayView digits) {
    return wholeNumber(digits, kMaxPositionSeconds);
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

std::optional<qint64> hundredthsOfPosition(QByteArrayView token) {
    auto wholeAndFraction = [](QByteArrayView t) -> std::optional<qint64> {
        qint64 hundredths = 0;
        const qsizetype dot = t.indexOf('.');
        if (dot >= 0) {
            const QByteArrayView fraction = t.sliced(dot + 1);
            if (!fraction.isEmpty() && !digitsValue(fraction)) {
                return std::nullopt;
            }
            for (qsizetype i = 0; i < 2; ++i) {
                hundredths = hundredths * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
            }
            t = t.first(dot);
        }
        const std::optional<qint64> whole = digitsValue(t);
        return whole ? std::optional<qint64>(*whole * 100 + hundredths) : std::nullopt;
    };
    const qsizetype c1 = token.indexOf(':');
    if (c1 < 0) {
        return wholeAndFraction(token);
    }
    const qsizetype c2 = token.indexOf(':', c1 + 1);
    if (c2 < 0) {
        return std::nullopt;
    }
    const QByteArrayView mText = token.sliced(c1 + 1, c2 - c1 - 1);
    if (mText.size() != 2) {
        return std::nullopt;
    }
    // value_or keeps GCC's optimiser from seeing an unset optional read.
    const qint64 h = digitsValue(token.first(c1)).value_or(-1);
    const qint64 m = digitsValue(mText).value_or(-1);
    const qint64 s = wholeAndFraction(token.sliced(c2 + 1)).value_or(-1);
    if (h < 0 || m < 0 || s < 0 || m > 59 || s >= 6000) {
        return std::nullopt;
    }
    return (h * 3600 + m * 60) * 100 + s;
}
