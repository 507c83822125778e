#include "gui/skin/form/skin_description.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QSet>
#include <algorithm>

namespace {

const QString kFormatName = QStringLiteral("orvex-skin");

std::optional<SkinObjectKind> kindFromText(const QString& text) {
    static const QHash<QString, SkinObjectKind> kinds = {
        {QStringLiteral("command"), SkinObjectKind::Command},
        {QStringLiteral("text"), SkinObjectKind::Text},
        {QStringLiteral("bar"), SkinObjectKind::Bar},
        {QStringLiteral("close"), SkinObjectKind::Close},
        {QStringLiteral("minimize"), SkinObjectKind::Minimize},
        {QStringLiteral("title"), SkinObjectKind::Title},
    };
    const auto it = kinds.find(text);
    if (it == kinds.end()) {
        return std::nullopt;
    }
    return *it;
}

// The states an object of a kind is drawn in; each gets one image.
QStringList statesOf(SkinObjectKind kind) {
    switch (kind) {
        case SkinObjectKind::Command:
        case SkinObjectKind::Close:
        case SkinObjectKind::Minimize:
            return {QStringLiteral("normal"), QStringLiteral("hover"), QStringLiteral("pressed")};
        case SkinObjectKind::Bar:
            return {QStringLiteral("track"), QStringLiteral("fill"), QStringLiteral("thumb")};
        case SkinObjectKind::Text:
        case SkinObjectKind::Title:
            break;
    }
    return {};
}

Qt::Alignment alignmentFromText(const QString& text) {
    if (text == QLatin1String("right")) {
        return Qt::AlignRight | Qt::AlignVCenter;
    }
    if (text == QLatin1String("center")) {
        return Qt::AlignCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

std::optional<QRect> rectFrom(const QJsonValue& value) {
    const QJsonArray a = value.toArray();
    if (a.size() != 4) {
        return std::nullopt;
    }
    for (const QJsonValue& v : a) {
        if (!v.isDouble()) {
            return std::nullopt;
        }
    }
    const QRect r(a[0].toInt(), a[1].toInt(), a[2].toInt(), a[3].toInt());
    if (r.width() <= 0 || r.height() <= 0) {
        return std::nullopt;
    }
    return r;
}

// Collects the first problem only; later checks are skipped once one is found.
class Problems {
  public:
    explicit Problems(QString* out) : out_(out) {}
    bool any() const { return !first_.isEmpty(); }
    void add(const QString& text) {
        if (first_.isEmpty()) {
            first_ = text;
        }
    }
    ~Problems() {
        if (out_ && any()) {
            *out_ = first_;
        }
    }

  private:
    QString* out_;
    QString first_;
};

SkinObjectDef parseObject(const QJsonObject& o, Problems& problems) {
    SkinObjectDef def;
    def.name = o.value(QStringLiteral("name")).toString();
    def.tooltip = o.value(QStringLiteral("tooltip")).toString();
    // What assistive tools call the object: its own name for them, else its label, else its
    // tooltip.
    def.accessibleName = o.value(QStringLiteral("accessibleName")).toString();
    if (def.accessibleName.isEmpty()) {
        def.accessibleName = o.value(QStringLiteral("label")).toString();
    }
    if (def.accessibleName.isEmpty()) {
        def.accessibleName = def.tooltip;
    }
    def.design = o;
    const QString kindText = o.value(QStringLiteral("kind")).toString();
    const auto kind = kindFromText(kindText);
    if (def.name.isEmpty()) {
        problems.add(QStringLiteral("an object has no name"));
    } else if (!kind) {
        problems.add(
            QStringLiteral("object \"%1\" has an unknown kind \"%2\"").arg(def.name, kindText));
    } else {
        def.kind = *kind;
    }
    if (def.kind == SkinObjectKind::Text) {
        const QJsonObject font = o.value(QStringLiteral("font")).toObject();
        def.text.family = font.value(QStringLiteral("family")).toString();
        def.text.pixelSize = font.value(QStringLiteral("pixelSize")).toInt(12);
        def.text.minPixelSize =
            std::min(def.text.pixelSize,
                     font.value(QStringLiteral("minPixelSize")).toInt(def.text.pixelSize));
        def.text.bold = font.value(QStringLiteral("bold")).toBool();
        def.text.color = o.value(QStringLiteral("color")).toString(QStringLiteral("#000000"));
        def.text.placeholder = o.value(QStringLiteral("placeholder")).toString();
        def.text.placeholderColor =
            o.value(QStringLiteral("placeholderColor")).toString(def.text.color);
        def.text.alignment = alignmentFromText(o.value(QStringLiteral("align")).toString());
        if (def.text.minPixelSize <= 0) {
            problems.add(QStringLiteral("object \"%1\" has no usable font size").arg(def.name));
        }
    }
    return def;
}

SkinVariant parseVariant(const QString& key, const QJsonObject& v, const SkinForm& form,
                         Problems& problems) {
    SkinVariant variant;
    variant.key = key;
    variant.theme = v.value(QStringLiteral("theme")).toObject();
    variant.decor = v.value(QStringLiteral("decor")).toArray();
    variant.palette = form.palette;
    const QJsonObject palette = v.value(QStringLiteral("palette")).toObject();
    for (auto it = palette.begin(); it != palette.end(); ++it) {
        variant.palette.insert(it.key(), it.value().toString());
    }
    const QString art = QStringLiteral("art/%1/").arg(key);
    variant.background =
        v.value(QStringLiteral("background")).toString(art + QStringLiteral("background.png"));

    const QJsonObject rects = v.value(QStringLiteral("rects")).toObject();
    const QJsonObject looks = v.value(QStringLiteral("looks")).toObject();
    QSet<QString> hidden;
    for (const QJsonValue& h : v.value(QStringLiteral("hidden")).toArray()) {
        hidden.insert(h.toString());
    }
    const QRect bounds(QPoint(0, 0), form.size);
    for (auto it = rects.begin(); it != rects.end(); ++it) {
        if (!form.object(it.key())) {
            problems.add(QStringLiteral("variant \"%1\" places the unknown object \"%2\"")
                             .arg(key, it.key()));
        }
    }
    for (const SkinObjectDef& def : form.objects) {
        const auto rect = rectFrom(rects.value(def.name));
        if (!rect) {
            problems.add(
                QStringLiteral("variant \"%1\" has no rectangle for \"%2\"").arg(key, def.name));
            continue;
        }
        if (!bounds.contains(*rect)) {
            problems.add(
                QStringLiteral("variant \"%1\" places \"%2\" outside the form").arg(key, def.name));
        }
        SkinPlacement placement;
        placement.rect = *rect;
        placement.visible = !hidden.contains(def.name);
        const QJsonObject own = looks.value(def.name).toObject();
        for (const QString& state : statesOf(def.kind)) {
            placement.looks.insert(
                state,
                own.value(state).toString(art + QStringLiteral("%1.%2.png").arg(def.name, state)));
        }
        variant.placements.insert(def.name, placement);
    }
    return variant;
}

std::optional<SkinForm> parseForm(const QString& name, const QJsonObject& f, Problems& problems) {
    SkinForm form;
    form.name = name;
    const QJsonArray size = f.value(QStringLiteral("size")).toArray();
    form.size = QSize(size.at(0).toInt(), size.at(1).toInt());
    if (size.size() != 2 || form.size.width() <= 0 || form.size.height() <= 0) {
        problems.add(QStringLiteral("form \"%1\" has no usable size").arg(name));
        return std::nullopt;
    }
    const QJsonObject palette = f.value(QStringLiteral("palette")).toObject();
    for (auto it = palette.begin(); it != palette.end(); ++it) {
        form.palette.insert(it.key(), it.value().toString());
    }
    QSet<QString> names;
    for (const QJsonValue& o : f.value(QStringLiteral("objects")).toArray()) {
        SkinObjectDef def = parseObject(o.toObject(), problems);
        if (names.contains(def.name)) {
            problems.add(QStringLiteral("object \"%1\" appears twice").arg(def.name));
        }
        names.insert(def.name);
        form.objects.append(def);
    }
    const QJsonObject variants = f.value(QStringLiteral("variants")).toObject();
    for (auto it = variants.begin(); it != variants.end(); ++it) {
        form.variants.insert(it.key(),
                             parseVariant(it.key(), it.value().toObject(), form, problems));
    }
    form.defaultVariant = f.value(QStringLiteral("defaultVariant")).toString();
    if (!form.variants.contains(form.defaultVariant)) {
        problems.add(QStringLiteral("form \"%1\" has no default variant").arg(name));
    }
    if (problems.any()) {
        return std::nullopt;
    }
    return form;
}

}  // namespace

const SkinObjectDef* SkinForm::object(const QString& objectName) const {
    for (const SkinObjectDef& def : objects) {
        if (def.name == objectName) {
            return &def;
        }
    }
    return nullptr;
}

const SkinVariant* SkinForm::variant(const QString& key) const {
    const auto it = variants.find(key);
    return it == variants.end() ? nullptr : &*it;
}

const SkinForm* SkinDescription::form(const QString& name) const {
    const auto it = forms.find(name);
    return it == forms.end() ? nullptr : &*it;
}

QStringList SkinDescription::imagesOf(const SkinVariant& variant) {
    QStringList images{variant.background};
    for (const SkinPlacement& p : variant.placements) {
        for (const QString& path : p.looks) {
            images.append(path);
        }
    }
    images.removeDuplicates();
    return images;
}

std::optional<SkinDescription> SkinDescription::parse(const QByteArray& json, QString* error) {
    Problems problems(error);
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) {
        problems.add(QStringLiteral("the form description is not valid JSON (%1)")
                         .arg(parseError.errorString()));
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != kFormatName ||
        root.value(QStringLiteral("version")).toInt() != kFormatVersion) {
        problems.add(QStringLiteral("the form description is not an %1 version %2 description")
                         .arg(kFormatName)
                         .arg(kFormatVersion));
        return std::nullopt;
    }
    SkinDescription description;
    const QJsonObject forms = root.value(QStringLiteral("forms")).toObject();
    for (auto it = forms.begin(); it != forms.end(); ++it) {
        auto form = parseForm(it.key(), it.value().toObject(), problems);
        if (!form) {
            return std::nullopt;
        }
        description.forms.insert(it.key(), *form);
    }
    if (description.forms.isEmpty()) {
        problems.add(QStringLiteral("the form description holds no form"));
        return std::nullopt;
    }
    return description;
}
