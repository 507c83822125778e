#include "core/engine/whole_number.h"

#include <string>
#include <string_view>

#include "numbers/number_reader.h"

std::optional<qint64> wholeNumber(QStringView text, qint64 limit) {
    // Only ASCII can be a digit or a blank.
    std::string ascii;
    ascii.reserve(size_t(text.size()));
    for (const QChar c : text) {
        if (c.unicode() > 0x7f) {
            return std::nullopt;
        }
        ascii.push_back(char(c.unicode()));
    }
    return orvex::numbers::wholeNumber(ascii, limit);
}

std::optional<qint64> wholeNumber(QByteArrayView text, qint64 limit) {
    return orvex::numbers::wholeNumber(std::string_view(text.data(), size_t(text.size())), limit);
}
