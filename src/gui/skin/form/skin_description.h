#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

// The parsed form description of a skin bundle ("skin.json", see data/skin/README.md). Qt Core
// only, so that both the engine and the artwork tool read the one description.

enum class SkinObjectKind { Command, Text, Bar, Close, Minimize, Title };

// Looks of text objects.
struct SkinTextStyle {
    QString family;
    int pixelSize = 12;
    int minPixelSize = 12;  // a long text shrinks down to this size before it is cut
    bool bold = false;
    QString color;             // "#rrggbb"
    QString placeholder;       // drawn while the text is empty
    QString placeholderColor;  // "#rrggbb"
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// What an object is, shared by every layout variant of its form.
struct SkinObjectDef {
    QString name;
    SkinObjectKind kind = SkinObjectKind::Command;
    QString tooltip;
    QString accessibleName;  // "Add Files", "Preview play"
    SkinTextStyle text;      // text objects only
    QJsonObject design;      // the whole entry, for the artwork tool (style, label, icon)
};

// Where and how an object appears in one variant. Looks map a state ("normal", "hover",
// "pressed"; for bars "track", "fill", "thumb") to an image path inside the bundle.
struct SkinPlacement {
    QRect rect;
    bool visible = true;
    QHash<QString, QString> looks;
};

struct SkinVariant {
    QString key;
    QString background;  // image path inside the bundle
    // QPalette role name -> "#rrggbb" for the window's plain controls: the form's palette
    // with the variant's own entries over it.
    QHash<QString, QString> palette;
    QHash<QString, SkinPlacement> placements;
    QJsonObject theme;  // colours the artwork tool paints with
    QJsonArray decor;   // what the artwork tool paints into the background
};

struct SkinForm {
    QString name;
    QSize size;
    QString defaultVariant;
    QHash<QString, QString> palette;  // shared by the variants, see SkinVariant::palette
    QList<SkinObjectDef> objects;     // in the order of the description
    QHash<QString, SkinVariant> variants;

    const SkinObjectDef* object(const QString& name) const;
    const SkinVariant* variant(const QString& key) const;
};

struct SkinDescription {
    static constexpr int kFormatVersion = 1;

    QHash<QString, SkinForm> forms;

    const SkinForm* form(const QString& name) const;

    // The image paths that a variant needs: its background and every look of every object.
    static QStringList imagesOf(const SkinVariant& variant);

    // Parses "skin.json". On failure returns nothing and says why in `error`.
    static std::optional<SkinDescription> parse(const QByteArray& json, QString* error);
};
