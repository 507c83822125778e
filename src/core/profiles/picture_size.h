#pragma once

#include <QString>
#include <optional>

// Picture sizes as size lists and job records write them: "320x240", in a size list
// optionally followed by a label in parentheses ("320x240(QVGA)").
struct PictureSize {
    // Beyond this a side is not a believable value but a broken text.
    static constexpr int kMaxSide = 100'000;

    int width = 0;
    int height = 0;

    // "320x240" -> 320 x 240; nullopt when either side is not a whole number 0..kMaxSide.
    static std::optional<PictureSize> parse(const QString& sizeText);
    // The number after the first "x"; nullopt when there is none or it is not a whole number.
    static std::optional<int> heightOf(const QString& sizeText);
    // The part of a size entry the encoder receives: the text before its first "(".
    static QString sizeTextOfEntry(const QString& entry);
};
