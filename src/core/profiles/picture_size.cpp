#include "core/profiles/picture_size.h"

#include "core/engine/whole_number.h"

namespace {

std::optional<int> sideOf(QStringView text) {
    const std::optional<qint64> value = wholeNumber(text, PictureSize::kMaxSide);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

}  // namespace

std::optional<PictureSize> PictureSize::parse(const QString& sizeText) {
    const qsizetype x = sizeText.indexOf(QLatin1Char('x'));
    if (x < 0) {
        return std::nullopt;
    }
    const std::optional<int> width = sideOf(QStringView(sizeText).left(x));
    const std::optional<int> height = sideOf(QStringView(sizeText).mid(x + 1));
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
    return sideOf(QStringView(sizeText).mid(x + 1));
}

QString PictureSize::sizeTextOfEntry(const QString& entry) {
    const qsizetype paren = entry.indexOf(QLatin1Char('('));
    return paren < 0 ? entry : entry.left(paren);
}
