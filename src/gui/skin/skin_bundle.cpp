#include "gui/skin/skin_bundle.h"

#include <QFile>
#include <QResource>
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

QPixmap SkinBundle::pixmap(const QString& path) const {
    const auto it = pixmaps_.constFind(path);
    if (it != pixmaps_.constEnd()) {
        return *it;
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
        const SkinObjectSpec* spec = form.object(r.name);
        if (!spec) {
            *error = QStringLiteral("its form \"%1\" has no object \"%2\"").arg(form.name, r.name);
            return false;
        }
        if (spec->kind != r.kind) {
            *error = QStringLiteral("its object \"%1\" is of the wrong kind").arg(r.name);
            return false;
        }
    }
    for (const QString& path : SkinDescription::imagesOf(variant)) {
        if (pixmap(path).isNull()) {
            *error = QStringLiteral("its image \"%1\" is missing or damaged").arg(path);
            return false;
        }
    }
    return true;
}
