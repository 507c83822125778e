#include "numbers/number_reader.h"

namespace orvex::numbers {

namespace {

constexpr std::size_t kMaxDigits = 18;  // every such number fits in 64 bits
// Even the largest such hour count, in hundredths of a second, fits in 64 bits.
constexpr std::size_t kMaxHourDigits = 12;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::optional<std::int64_t> digits(std::string_view text, std::int64_t limit) {
    if (text.empty() || text.size() > kMaxDigits) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > limit) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> wholeNumber(std::string_view text, std::int64_t limit) {
    return digits(trimmed(text), limit);
}

std::optional<std::int64_t> integer(std::string_view text, std::int64_t min, std::int64_t max) {
    text = trimmed(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    // At most 18 digits, so the magnitude always has a negative.
    const std::optional<std::int64_t> magnitude = digits(text, INT64_MAX);
    if (!magnitude) {
        return std::nullopt;
    }
    const std::int64_t value = negative ? -*magnitude : *magnitude;
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

std::optional<ClockTime> clockTime(std::string_view text) {
    std::size_t hourDigits = 0;
    while (hourDigits < text.size() && isDigit(text[hourDigits])) {
        ++hourDigits;
    }
    if (hourDigits < 2 || hourDigits > kMaxHourDigits || text.size() < hourDigits + 6) {
        return std::nullopt;
    }
    const auto hours = digits(text.substr(0, hourDigits), INT64_MAX);
    const auto minutes = digits(text.substr(hourDigits + 1, 2), 59);
    const auto seconds = digits(text.substr(hourDigits + 4, 2), 59);
    if (!hours || !minutes || !seconds) {
        return std::nullopt;
    }
    return ClockTime{*hours * 3600 + *minutes * 60 + *seconds, hourDigits + 6};
}

}  // namespace orvex::numbers
