#include "dvdsectors/vts_locator.h"

#include <array>
#include <charconv>

#include "numbers/number_reader.h"

namespace orvex::dvd {

namespace {

std::optional<int64_t> decimal(std::string_view text) {
    return numbers::digits(text, 9'999'999'999);
}

// "0x" and one or two hex digits in either letter case, as the stream descriptions end; plain
// decimal numbers ("129") are taken too.
std::optional<int> streamNumber(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty() || text.size() > (base == 16 ? 2u : 3u)) {
        return std::nullopt;
    }
    int value = 0;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(text.data(), last, value, base);
    if (ec != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

bool isAudioId(int id) {
    return (id >= 0x80 && id <= 0x8f) || (id >= 0xa0 && id <= 0xa7) || (id >= 0xc0 && id <= 0xc7);
}

bool fail(std::string* error, std::string text) {
    if (error) {
        *error = std::move(text);
    }
    return false;
}

}  // namespace

bool isVtsLocator(std::string_view text) {
    return text.substr(0, kVtsScheme.size()) == kVtsScheme;
}

std::optional<VtsLocator> parseVtsLocator(std::string_view text, std::string* error) {
    if (!isVtsLocator(text)) {
        fail(error, "it does not begin with vts://");
        return std::nullopt;
    }
    std::string_view rest = text.substr(kVtsScheme.size());
    // Five fields ended by '*'; the disc root follows the fifth star and its '/'.
    std::array<std::string_view, 5> fields;
    for (auto& field : fields) {
        const size_t star = rest.find('*');
        if (star == std::string_view::npos) {
            fail(error, "it has fewer than five '*'-separated fields");
            return std::nullopt;
        }
        field = rest.substr(0, star);
        rest.remove_prefix(star + 1);
    }
    if (rest.empty() || rest[0] != '/') {
        fail(error, "the disc folder must follow \"*/\"");
        return std::nullopt;
    }
    rest.remove_prefix(1);

    VtsLocator loc;
    const auto set = fields[0].size() <= 2 ? decimal(fields[0]) : std::nullopt;
    if (!set || *set < 1 || *set > 99) {
        fail(error, "bad title set number '" + std::string(fields[0]) + "'");
        return std::nullopt;
    }
    loc.titleSet = static_cast<int>(*set);

    const auto start = decimal(fields[1]);
    const auto end = decimal(fields[2]);
    if (!start || *start > INT32_MAX) {
        fail(error, "bad start sector '" + std::string(fields[1]) + "'");
        return std::nullopt;
    }
    if (!end || *end > INT32_MAX) {
        fail(error, "bad end sector '" + std::string(fields[2]) + "'");
        return std::nullopt;
    }
    if (*end < *start) {
        fail(error, "end sector " + std::string(fields[2]) + " lies before start sector " +
                        std::string(fields[1]));
        return std::nullopt;
    }
    loc.startSector = static_cast<int32_t>(*start);
    loc.endSector = static_cast<int32_t>(*end);

    const auto audio = streamNumber(fields[3]);
    if (!audio || (*audio != 0 && !isAudioId(*audio))) {
        fail(error, "bad audio stream '" + std::string(fields[3]) + "'");
        return std::nullopt;
    }
    const auto subtitle = streamNumber(fields[4]);
    if (!subtitle || (*subtitle != 0 && (*subtitle < 0x20 || *subtitle > 0x3f))) {
        fail(error, "bad subtitle stream '" + std::string(fields[4]) + "'");
        return std::nullopt;
    }
    loc.audioStream = fields[3];
    loc.subtitleStream = fields[4];
    loc.audioId = *audio;
    loc.subtitleId = *subtitle;

    if (rest.empty()) {
        fail(error, "it names no disc folder");
        return std::nullopt;
    }
    loc.discRoot = rest;
    return loc;
}

}  // namespace orvex::dvd
