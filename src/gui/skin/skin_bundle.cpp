#include "gui/skin/skin_bundle.h"

#include <QFile>
#include <QResource>
#include <array>
#include <atomic>

#include "gui/skin/rcc_image_check.h"

// The compiled copy is a static library resource; its registration function must be called
// by name, outside any namespace.
static void initBuiltInSkinResource() {
    Q_INIT_RESOURCE(orvex_builtin_skin);
}

namespace {

const QString kDescriptionFile = QStringLiteral("skin.json");
const QString kBuiltInRoot = QStringLiteral(":/orvex-builtin-skin");

QString nextRoot() {
    static std::atomic<int> counter{0};
    return QStringLiteral("/orvex-skin-%1").arg(++counter);
}

}  // namespace

SkinBundle::SkinBundle(QString origin, QString root, QByteArray image)
    : origin_(std::move(origin)), root_(std::move(root)), image_(std::move(image)) {}

SkinBundle::~SkinBundle() {
    pixmaps_.clear();
    if (!image_.isEmpty()) {
        QResource::unregisterResource(reinterpret_cast<const uchar*>(image_.constData()),
                                      root_.mid(1));
    }
}

std::unique_ptr<SkinBundle> SkinBundle::fromFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists()) {
        *error = QStringLiteral("it is missing");
        return nullptr;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("it cannot be read (%1)").arg(file.errorString());
        return nullptr;
    }
    QByteArray image = file.readAll();
    if (!RccImageCheck::isWhole(image, error)) {
        return nullptr;
    }
    const QString mapRoot = nextRoot();
    std::unique_ptr<SkinBundle> bundle(
        new SkinBundle(path, QLatin1Char(':') + mapRoot, std::move(image)));
    if (!QResource::registerResource(reinterpret_cast<const uchar*>(bundle->image_.constData()),
                                     mapRoot)) {
        bundle->image_.clear();  // nothing to unregister
        *error = QStringLiteral("it is not a resource bundle");
        return nullptr;
    }
    return finish(std::move(bundle), error);
}

std::unique_ptr<SkinBundle> SkinBundle::builtIn(QString* error) {
    initBuiltInSkinResource();
    std::unique_ptr<SkinBundle> bundle(
        new SkinBundle(QStringLiteral("the built-in skin"), kBuiltInRoot, {}));
    return finish(std::move(bundle), error);
}

std::unique_ptr<SkinBundle> SkinBundle::finish(std::unique_ptr<SkinBundle> bundle, QString* error) {
    QFile description(bundle->root_ + QLatin1Char('/') + kDescriptionFile);
    if (!description.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("it holds no %1").arg(kDescriptionFile);
        return nullptr;
    }
    auto parsed = SkinDescription::parse(description.readAll(), error);
    if (!parsed) {
        return nullptr;
    }
    bundle->description_ = std::move(*parsed);
    return bundle;
}

namespace {

quint32 crc32Of(const char* data, qsizetype size) {
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (qsizetype i = 0; i < size; ++i) {
        c = table[(c ^ static_cast<quint8>(data[i])) & 0xff] ^ (c >> 8);
    }
    return c ^ 0xffffffffu;
}

quint32 bigEndian32(const char* at) {
    return (quint32(quint8(at[0])) << 24) | (quint32(quint8(at[1])) << 16) |
           (quint32(quint8(at[2])) << 8) | quint32(quint8(at[3]));
}

}  // namespace

bool SkinBundle::imageIntact(const QString& path) const {
    if (path.contains(QLatin1String("..")) || path.startsWith(QLatin1Char('/'))) {
        return false;
    }
    QFile file(root_ + QLatin1Char('/') + path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray png = file.readAll();
    static const QByteArray kSignature("\x89PNG\r\n\x1a\n", 8);
    if (!png.startsWith(kSignature)) {
        return false;
    }
    // Walk the chunks: each one's length fits in the file and its checksum is right, the first
    // is the header and the last the end marker.
    qsizetype at = kSignature.size();
    bool first = true;
    while (at + 12 <= png.size()) {
        const quint32 length = bigEndian32(png.constData() + at);
        if (length > quint32(png.size() - at - 12)) {
            return false;
        }
        const char* type = png.constData() + at + 4;
        if (crc32Of(type, 4 + qsizetype(length)) != bigEndian32(type + 4 + length)) {
            return false;
        }
        if (first && QByteArray(type, 4) != "IHDR") {
            return false;
        }
        first = false;
        at += 12 + qsizetype(length);
        if (QByteArray(type, 4) == "IEND") {
            return at == png.size();
        }
    }
    return false;
}

void SkinBundle::prefetch(const QStringList& paths) const {
    if (prefetched_.valid()) {
        return;  // one batch: the first window's
    }
    QStringList wanted;
    for (const QString& path : paths) {
        if (!pixmaps_.contains(path) && !path.contains(QLatin1String("..")) &&
            !path.startsWith(QLatin1Char('/'))) {
            wanted << path;
        }
    }
    prefetching_ = wanted;
    const QString root = root_;
    prefetched_ = std::async(std::launch::async, [root, wanted] {
                      QHash<QString, QImage> images;
                      for (const QString& path : wanted) {
                          images.insert(path, QImage(root + QLatin1Char('/') + path, "PNG"));
                      }
                      return images;
                  }).share();
}

QPixmap SkinBundle::pixmap(const QString& path) const {
    const auto it = pixmaps_.constFind(path);
    if (it != pixmaps_.constEnd()) {
        return *it;
    }
    if (prefetching_.contains(path)) {
        const QImage image = prefetched_.get().value(path);
        prefetching_.removeOne(path);
        if (!image.isNull()) {
            const QPixmap pixmap = QPixmap::fromImage(image);
            pixmaps_.insert(path, pixmap);
            return pixmap;
        }
    }
    QPixmap pixmap;
    // Paths come from the description; one that climbs out of the bundle is not ours to read.
    if (!path.contains(QLatin1String("..")) && !path.startsWith(QLatin1Char('/'))) {
        pixmap.load(root_ + QLatin1Char('/') + path, "PNG");
    }
    pixmaps_.insert(path, pixmap);
    return pixmap;
}

bool SkinBundle::checkVariant(const SkinForm& form, const SkinVariant& variant,
                              const QList<RequiredSkinObject>& required, QString* error) const {
    for (const RequiredSkinObject& r : required) {
        const SkinObjectDef* def = form.object(r.name);
        if (!def) {
            *error = QStringLiteral("its form \"%1\" has no object \"%2\"").arg(form.name, r.name);
            return false;
        }
        if (def->kind != r.kind) {
            *error = QStringLiteral("its object \"%1\" is of the wrong kind").arg(r.name);
            return false;
        }
    }
    for (const QString& path : SkinDescription::imagesOf(variant)) {
        if (!imageIntact(path)) {
            *error = QStringLiteral("its image \"%1\" is missing or damaged").arg(path);
            return false;
        }
    }
    return true;
}
