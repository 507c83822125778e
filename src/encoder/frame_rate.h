#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvex::encoder {

// A frame rate as FFmpeg takes it: a fraction, such as 25/1 or 30000/1001 (NTSC).
struct FrameRate {
    long num = 0;
    long den = 1;

    bool isValid() const { return num > 0 && den > 0; }
    double value() const { return isValid() ? static_cast<double>(num) / den : 0; }
    // The same rate within 0.05 % (less than the 0.1 % between 30 and 30000/1001).
    bool sameAs(const FrameRate& other) const;
    // As the command line writes it: "25", "12.5", "30000/1001".
    std::string text() const;

    // "25", "30000/1001", "12.5", FFmpeg's names ("ntsc", "pal", "film", "ntsc-film") and the
    // rounded rates FFmpeg prints for NTSC sources ("23.98", "29.97", "59.94", "1k"), which
    // snap to their exact fractions. nullopt for anything else, zero and negative rates.
    static std::optional<FrameRate> parse(std::string_view text);
};

}  // namespace orvex::encoder
