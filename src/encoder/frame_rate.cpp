#include "encoder/frame_rate.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace orvex::encoder {

namespace {

// Rates beyond this are no believable frame rates but broken text; so are fractions whose
// terms reach kMaxTerm (which keeps every product of a term with a small factor in range).
constexpr double kMaxRate = 100000;
constexpr long kMaxTerm = 1'000'000'000;

FrameRate reduced(long num, long den) {
    const long g = std::gcd(num, den);
    return g > 0 ? FrameRate{num / g, den / g} : FrameRate{num, den};
}

}  // namespace

bool FrameRate::sameAs(const FrameRate& other) const {
    return isValid() && other.isValid() && std::fabs(value() / other.value() - 1) < 0.0005;
}

std::string FrameRate::text() const {
    if (!isValid()) {
        return {};
    }
    const FrameRate r = reduced(num, den);
    if (r.den == 1) {
        return std::to_string(r.num);
    }
    // Hundredths and the like read better as decimals; 1001ths stay fractions.
    if (1000 % r.den == 0) {
        std::string whole = std::to_string(r.num / r.den);
        std::string fraction = std::to_string(1000 + (r.num % r.den) * (1000 / r.den)).substr(1);
        while (!fraction.empty() && fraction.back() == '0') {
            fraction.pop_back();
        }
        return whole + "." + fraction;
    }
    return std::to_string(r.num) + "/" + std::to_string(r.den);
}

std::optional<FrameRate> FrameRate::parse(std::string_view text) {
    struct Name {
        std::string_view name;
        FrameRate rate;
    };
    static constexpr std::array<Name, 4> kNames = {{{"ntsc", {30000, 1001}},
                                                    {"pal", {25, 1}},
                                                    {"film", {24, 1}},
                                                    {"ntsc-film", {24000, 1001}}}};
    for (const Name& n : kNames) {
        if (text == n.name) {
            return n.rate;
        }
    }
    const std::string s(text);
    char* end = nullptr;
    if (const auto slash = s.find('/'); slash != std::string::npos) {
        const long num = std::strtol(s.c_str(), &end, 10);
        if (end != s.c_str() + slash) {
            return std::nullopt;
        }
        const char* denText = s.c_str() + slash + 1;
        const long den = std::strtol(denText, &end, 10);
        if (end == denText || *end != '\0' || num <= 0 || den <= 0 || num >= kMaxTerm ||
            den >= kMaxTerm || num / den > kMaxRate) {
            return std::nullopt;
        }
        return reduced(num, den);
    }
    double value = std::strtod(s.c_str(), &end);
    if (end == s.c_str()) {
        return std::nullopt;
    }
    if (*end == 'k' && end[1] == '\0') {
        value *= 1000;
    } else if (*end != '\0') {
        return std::nullopt;
    }
    if (!std::isfinite(value) || value <= 0 || value > kMaxRate) {
        return std::nullopt;
    }
    // FFmpeg prints rates to two decimals: 23.98, 29.97, 59.94 are the NTSC fractions.
    for (const long base : {24L, 30L, 48L, 60L, 120L}) {
        if (std::fabs(value - base * 1000.0 / 1001) < 0.006) {
            return FrameRate{base * 1000, 1001};
        }
    }
    const long hundredths = std::lround(value * 100);
    if (hundredths <= 0) {
        return std::nullopt;
    }
    return reduced(hundredths, 100);
}

}  // namespace orvex::encoder
