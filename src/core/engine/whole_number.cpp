#include "core/engine/whole_number.h"

namespace {

constexpr qsizetype kMaxDigits = 18;  // every such number fits in 64 bits

int code(QChar c) {
    return c.unicode();
}
int code(char c) {
    return static_cast<unsigned char>(c);
}

template <typename View>
std::optional<qint64> parseDigits(View text, qint64 limit) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [&](qsizetype i) { return code(text[i]) == ' ' || code(text[i]) == '\t'; };
    while (begin < end && blank(begin)) {
        ++begin;
    }
    while (end > begin && blank(end - 1)) {
        --end;
    }
    if (begin == end || end - begin > kMaxDigits) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const int c = code(text[i]);
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > limit) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<qint64> wholeNumber(QStringView text, qint64 limit) {
    return parseDigits(text, limit);
}

std::optional<qint64> wholeNumber(QByteArrayView text, qint64 limit) {
    return parseDigits(text, limit);
}
