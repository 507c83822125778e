#include "core/profiles/picture_size.h"

std::optional<int> wholeNumber(const QString& text, int limit) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < 0 || value > limit) {
        return std::nullopt;
    }
    return value;
}

std::optional<PictureSize> PictureSize::parse(const QString& sizeText) {
    const qsizetype x = sizeText.indexOf(QLatin1Char('x'));
    if (x < 0) {
        return std::nullopt;
    }
    const std::optional<int> width = wholeNumber(sizeText.left(x), kMaxSide);
    const std::optional<int> height = wholeNumber(sizeText.mid(x + 1), kMaxSide);
    if (!width || !height) {
        return std::nullopt;
    }
    return PictureSize{*width, *height};
}

std::optional<int> PictureSize::heightOf(const QString& sizeText) {
    const qsizetype x = sizeText.indexOf(QLatin1Char('x'));
    if (x < 0) {
        return std::nullopt;
    }
    return wholeNumber(sizeText.mid(x + 1), kMaxSide);
}

QString PictureSize::sizeTextOfEntry(const QString& entry) {
    const qsizetype paren = entry.indexOf(QLatin1Char('('));
    return paren < 0 ? entry : entry.left(paren);
}
