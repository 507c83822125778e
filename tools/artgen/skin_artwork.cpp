#include "skin_artwork.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace art {
namespace {

bool isOpaque(const QImage& image) {
    if (!image.hasAlphaChannel()) {
        return true;
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 255) {
                return false;
            }
        }
    }
    return true;
}

bool saveImage(const QImage& image, const QString& path, QString* error) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    // An opaque picture is stored without alpha: it decodes about twice as fast at start-up.
    const QImage stored = isOpaque(image) ? image.convertToFormat(QImage::Format_RGB32) : image;
    if (!stored.save(path, "PNG")) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

bool writeQrc(const QString& path, const QString& prefix, const QStringList& files,
              QString* error) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    QByteArray text =
        "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"" + prefix.toUtf8() + "\">\n";
    for (const QString& f : files) {
        text += "  <file>" + f.toUtf8() + "</file>\n";
    }
    text += "</qresource>\n</RCC>\n";
    out.write(text);
    if (!out.commit()) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace

bool writeSkinArtwork(const QString& descriptionPath, const QString& outDir, QString* error) {
    QFile in(descriptionPath);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(descriptionPath);
        return false;
    }
    const QByteArray json = in.readAll();
    const auto description = SkinDescription::parse(json, error);
    if (!description) {
        return false;
    }
    const QDir out(outDir);
    QStringList files{QStringLiteral("skin.json")};
    for (const SkinForm& form : description->forms) {
        for (const SkinVariant& variant : form.variants) {
            const Theme theme = Theme::from(variant.theme);
            if (!saveImage(paintBackground(form, variant, theme), out.filePath(variant.background),
                           error)) {
                return false;
            }
            files.append(variant.background);
            for (const SkinObjectDef& object : form.objects) {
                const SkinPlacement& placement = variant.placements[object.name];
                for (auto it = placement.looks.begin(); it != placement.looks.end(); ++it) {
                    QSize size = placement.rect.size();
                    if (it.key() == QLatin1String("thumb")) {
                        size = QSize(size.height(), size.height());
                    }
                    if (!saveImage(paintLook(object, size, it.key(), theme),
                                   out.filePath(it.value()), error)) {
                        return false;
                    }
                    files.append(it.value());
                }
            }
        }
    }
    files.removeDuplicates();
    files.sort();

    QSaveFile copy(out.filePath(QStringLiteral("skin.json")));
    if (!copy.open(QIODevice::WriteOnly) || copy.write(json) != json.size() || !copy.commit()) {
        *error = QStringLiteral("cannot write the description copy");
        return false;
    }
    return writeQrc(out.filePath(QStringLiteral("skin_file.qrc")), QStringLiteral("/"), files,
                    error) &&
           writeQrc(out.filePath(QStringLiteral("skin_builtin.qrc")),
                    QStringLiteral("/orvex-builtin-skin"), files, error);
}

}  // namespace art
