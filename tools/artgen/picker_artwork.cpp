#include "picker_artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLinearGradient>

#include "core/profiles/profile_catalog.h"
#include "device_glyphs.h"
#include "icons.h"

namespace art {
namespace {

constexpr int kCategoryWidth = 153;
constexpr int kEntryWidth = 310;
constexpr int kEntryHeight = 48;
constexpr int kFirstExtra = 5;  // first entries are 53 high, first category 27
const QColor kPanel{0x1a, 0x1f, 0x2a};
const QColor kColumn{0x15, 0x19, 0x22};

// A hue per category, so a device reads at a glance.
QColor categoryColour(int category) {
    static const QColor colours[] = {{0x4f, 0x8c, 0xff}, {0xe8, 0x5d, 0x86}, {0xb0, 0xb8, 0xc8},
                                     {0x5a, 0xc8, 0xfa}, {0x7c, 0xc2, 0x42}, {0x9c, 0xa9, 0xc4},
                                     {0x56, 0x78, 0xff}, {0x52, 0xb0, 0x43}, {0xf5, 0xa6, 0x23},
                                     {0x26, 0xb5, 0xa6}, {0xb3, 0x6b, 0xe0}, {0xff, 0x7a, 0x4d},
                                     {0xff, 0xc8, 0x3d}};
    if (category >= 1 && category <= 13) {
        return colours[category - 1];
    }
    return QColor(0x4f, 0x8c, 0xff);
}

// The panel of an entry as [first, last].
struct Panel {
    int first;
    int last;
};
constexpr Panel kPanels[] = {{1, 7},     {8, 14},    {15, 21},   {22, 26},  {27, 33},
                             {34, 40},   {41, 45},   {46, 52},   {53, 59},  {60, 67},
                             {68, 74},   {75, 82},   {83, 90},   {91, 98},  {99, 101},
                             {102, 109}, {110, 117}, {118, 124}, {125, 132}};

int categoryOfEntry(int entry) {
    // Entry 132 closes the MKV panel of the first category; the catalog ends at 131.
    return entry == 132 ? 1 : ProfileCatalog::categoryOf(entry);
}

bool isDeviceCategory(int category) {
    return category >= 3 && category <= 11;
}

QImage canvas(int w, int h, const QColor& fill) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

void paintHighlight(QPainter& p, const QRectF& r, const Theme& t) {
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, t.accent);
    g.setColorAt(1, t.accent2);
    p.fillRect(r, g);
    p.fillRect(QRectF(r.left(), r.top(), 3, r.height()), Qt::white);
}

// The format tile of an entry: its format (extension) written large, or its device drawn when
// the format is empty or the category is a device's.
void paintTile(QPainter& p, const QRectF& tile, const QString& format, int category,
               bool highlighted, const Theme& t) {
    const QColor hue = categoryColour(category);
    const QColor fill = highlighted ? QColor(Qt::white) : mix(hue, kPanel, 0.78);
    const QColor ink = highlighted ? mix(t.accent, t.accent2, 0.5) : mix(hue, Qt::white, 0.15);
    roundedBox(p, tile, 7, fill, highlighted ? QColor(Qt::transparent) : mix(hue, kPanel, 0.55));
    if (isDeviceCategory(category) || format.isEmpty()) {
        paintGlyph(p, glyphOfCategory(category), tile.adjusted(6, 6, -6, -6), ink);
        return;
    }
    // A film frame (or, for audio, a level meter) above the format written large.
    const QString& ext = format;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    if (category == 2) {
        const double heights[] = {3, 6, 4, 7, 5};
        for (int i = 0; i < 5; ++i) {
            p.drawRoundedRect(
                QRectF(tile.left() + 8 + i * 3.5, tile.top() + 12 - heights[i], 2, heights[i]), 1,
                1);
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            p.drawRoundedRect(QRectF(tile.left() + 7.5 + i * 4.7, tile.top() + 5, 2.6, 2.6), 0.6,
                              0.6);
            p.drawRoundedRect(QRectF(tile.left() + 7.5 + i * 4.7, tile.top() + 9.5, 2.6, 2.6), 0.6,
                              0.6);
        }
    }
    p.restore();
    p.setFont(font(fittingPixelSize(ext, tile.width() - 6, 11, 7, true), true));
    p.setPen(ink);
    p.drawText(QRectF(tile.left(), tile.top() + 14, tile.width(), tile.height() - 16),
               Qt::AlignCenter, ext);
}

// Where a name too long for one line is best broken: before the last "(" or space that
// keeps the first line within `width`; anywhere as a last resort.
int breakPosition(const QFontMetricsF& metrics, const QString& name, double width) {
    int anywhere = 1;
    int natural = -1;
    for (int i = 1; i < name.size(); ++i) {
        if (metrics.horizontalAdvance(name.left(i)) > width) {
            break;
        }
        anywhere = i;
        if (name[i] == QLatin1Char('(') || name[i] == QLatin1Char(' ')) {
            natural = i;
        }
    }
    return natural > 0 ? natural : anywhere;
}

// The display name, on one line when it fits at 12 or 11 pixels, otherwise on two.
// Returns whether a second line is still free.
bool paintName(QPainter& p, const QRectF& r, const QString& name, const QColor& colour) {
    p.setPen(colour);
    for (int size : {12, 11}) {
        p.setFont(font(size, true));
        if (p.fontMetrics().horizontalAdvance(name) <= r.width()) {
            p.drawText(QRectF(r.left(), r.top(), r.width(), r.height() / 2 + 1),
                       Qt::AlignLeft | Qt::AlignBottom, name);
            return true;
        }
    }
    const QFont f = font(11, true);
    p.setFont(f);
    const QFontMetricsF metrics(f);
    const int at = breakPosition(metrics, name, r.width());
    const QString second = metrics.elidedText(name.mid(at).trimmed(), Qt::ElideRight, r.width());
    const double half = r.height() / 2;
    p.drawText(QRectF(r.left(), r.top(), r.width(), half + 1), Qt::AlignLeft | Qt::AlignBottom,
               name.left(at).trimmed());
    p.drawText(QRectF(r.left(), r.top() + half + 1, r.width(), half), Qt::AlignLeft | Qt::AlignTop,
               second);
    return false;
}

// Entries 2 to 5 of the first panel open the AVI, MPEG, MP4 and MKV sub-panels: they show
// that group and an arrow, not a profile. The sub-panel covers an entry from 180 pixels on
// (the brand kamzu's offset), so all of it stays left of that.
bool isGroupEntry(int entry) {
    return entry >= 2 && entry <= 5;
}

void paintGroupEntry(QPainter& p, const QRectF& row, int entry, bool highlighted,
                     const Theme& theme) {
    const Panel sub = kPanels[15 + entry - 2];
    const QString group = ProfileCatalog::groupOf(sub.first);
    int profiles = 0;
    for (int n = sub.first; n <= sub.last; ++n) {
        profiles += ProfileCatalog::displayNameOf(n) ? 1 : 0;
    }
    paintTile(p, QRectF(10, row.top() + 8, 32, 32), group, 1, highlighted, theme);
    const QRectF text(52, row.top() + 6, 96, row.height() - 12);
    p.setFont(font(13, true));
    p.setPen(highlighted ? QColor(Qt::white) : kTextPrimary);
    p.drawText(QRectF(text.left(), text.top(), text.width(), text.height() / 2 + 1),
               Qt::AlignLeft | Qt::AlignBottom, group);
    p.setFont(font(10));
    p.setPen(highlighted ? QColor(0xe8, 0xec, 0xff) : kTextSecondary);
    p.drawText(QRectF(text.left(), text.center().y() + 3, text.width(), text.height() / 2 - 3),
               Qt::AlignLeft | Qt::AlignTop, QStringLiteral("%1 profiles").arg(profiles));
    p.save();
    p.translate(162, row.center().y());
    p.rotate(-90);
    paintIcon(p, QStringLiteral("chevron"), QRectF(-8, -8, 16, 16),
              highlighted ? QColor(Qt::white) : kTextSecondary);
    p.restore();
}

bool save(const QImage& image, const QString& path, QString* error) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path, "BMP")) {
        *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace

QString PickerArtwork::categoryFileName(int category) {
    static const char* const names[] = {"img_video1",   "img_audio1",  "img_ipod", "img_iphone",
                                        "img_gphone",   "img_appletv", "img_psp",  "img_xbox",
                                        "img_phone",    "img_win",     "img_pmp",  "img_hd",
                                        "img_animation"};
    return (category >= 1 && category <= kCategories) ? QLatin1String(names[category - 1])
                                                      : QString();
}

bool PickerArtwork::isFirstOfPanel(int entry) {
    for (const Panel& panel : kPanels) {
        if (panel.first == entry) {
            return true;
        }
    }
    return false;
}

QImage PickerArtwork::category(int category, bool highlighted, const Theme& theme) {
    const int extra = category == 1 ? 2 : 0;
    QImage image = canvas(kCategoryWidth, 25 + extra, kColumn);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r(0, extra, kCategoryWidth, 25);
    const QColor hue = categoryColour(category);
    QColor ink = QColor(0xc9, 0xcf, 0xdc);
    QColor iconInk = hue;
    if (highlighted) {
        paintHighlight(p, QRectF(0, 0, kCategoryWidth, image.height()), theme);
        ink = Qt::white;
        iconInk = Qt::white;
    } else {
        p.fillRect(QRectF(0, image.height() - 1, kCategoryWidth, 1), kDivider);
    }
    paintGlyph(p, glyphOfCategory(category), QRectF(10, r.center().y() - 8, 16, 16), iconInk);
    const int first = [category] {
        for (int n = ProfileCatalog::kFirstProfile; n <= ProfileCatalog::kLastProfile; ++n) {
            if (ProfileCatalog::categoryOf(n) == category) {
                return n;
            }
        }
        return 0;
    }();
    p.setFont(font(11, highlighted));
    p.setPen(ink);
    p.drawText(QRectF(34, r.top(), 100, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
               ProfileCatalog::groupOf(first));
    p.save();
    p.translate(kCategoryWidth - 18, r.center().y());
    p.rotate(-90);
    paintIcon(p, QStringLiteral("chevron"), QRectF(-6, -6, 12, 12),
              highlighted ? QColor(Qt::white) : kTextMuted);
    p.restore();
    return image;
}

QImage PickerArtwork::filler(const Theme& theme) {
    QImage image = canvas(kCategoryWidth, 31, kColumn);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.fillRect(QRectF(12, 6, 20, 2), theme.accent);
    p.setFont(font(9));
    p.setPen(kTextMuted);
    p.drawText(QRectF(12, 10, kCategoryWidth - 20, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Point to a category"));
    return image;
}

QImage PickerArtwork::categoryIcon(int category, const Theme& theme) {
    // The icon sits in the profile field of the window, so it takes the field's colour.
    QImage image = canvas(16, 16, kField);
    QPainter p(&image);
    const QColor ink = category <= kCategories ? categoryColour(category) : theme.accent;
    paintGlyph(p, glyphOfCategory(category), QRectF(0, 0, 16, 16), ink);
    return image;
}

QImage PickerArtwork::entry(int entry, bool highlighted, const Theme& theme) {
    const int extra = isFirstOfPanel(entry) ? kFirstExtra : 0;
    const int h = kEntryHeight + extra;
    QImage image = canvas(kEntryWidth, h, kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int category = categoryOfEntry(entry);
    const auto name = ProfileCatalog::displayNameOf(entry);
    if (extra > 0) {
        // The top of a panel: a hairline in the category's hue.
        p.fillRect(QRectF(0, 0, kEntryWidth, 2), mix(categoryColour(category), kPanel, 0.3));
    }
    const QRectF row(0, extra, kEntryWidth, kEntryHeight);
    if (highlighted) {
        paintHighlight(p, QRectF(0, 0, kEntryWidth, h), theme);
    } else if (name || isGroupEntry(entry)) {
        p.fillRect(QRectF(0, h - 1, kEntryWidth, 1), kDivider);
    }
    if (isGroupEntry(entry)) {
        paintGroupEntry(p, row, entry, highlighted, theme);
        return image;
    }
    if (!name) {
        // A slot without a profile is bare panel, no divider either: a frame drawn there would
        // read as a choice, and cut short at a panel's foot as a broken one.
        return image;
    }
    const QRectF tile(10, row.top() + 8, 32, 32);
    paintTile(p, tile, ProfileCatalog::extensionOf(*name).mid(1).toUpper(), category, highlighted,
              theme);
    const QRectF text(52, row.top() + 6, kEntryWidth - 52 - 10, kEntryHeight - 12);
    if (paintName(p, text, *name, highlighted ? QColor(Qt::white) : kTextPrimary)) {
        const QString group = ProfileCatalog::groupOf(entry);
        p.setFont(font(10));
        p.setPen(highlighted ? QColor(0xe8, 0xec, 0xff) : kTextSecondary);
        p.drawText(QRectF(text.left(), text.center().y() + 3, text.width(), text.height() / 2 - 3),
                   Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("%1  \u00b7  %2").arg(group, ProfileCatalog::extensionOf(*name)));
    }
    return image;
}

QImage PickerArtwork::paging(bool next, const Theme& theme) {
    QImage image = canvas(71, 17, kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    roundedBox(p, QRectF(2, 1, 67, 15), 7.5, mix(theme.accent, kPanel, 0.8),
               mix(theme.accent, kPanel, 0.4));
    p.setFont(font(10, true));
    p.setPen(mix(theme.accent, Qt::white, 0.55));
    p.drawText(QRectF(2, 1, 67, 15), Qt::AlignCenter,
               next ? QStringLiteral("next \u203a") : QStringLiteral("\u2039 previous"));
    return image;
}

QImage PickerArtwork::strip() {
    QImage image = canvas(239, 17, kPanel);
    QPainter p(&image);
    p.fillRect(QRectF(0, 0, 239, 1), kDivider);
    return image;
}

bool PickerArtwork::writeAll(const QString& imagesDir, QString* error) {
    const Theme theme;
    const QDir dir(imagesDir);
    for (int k = 1; k <= kCategories; ++k) {
        const QString name = categoryFileName(k) + QStringLiteral(".bmp");
        if (!save(category(k, false, theme), dir.filePath(QStringLiteral("main/general/") + name),
                  error) ||
            !save(category(k, true, theme), dir.filePath(QStringLiteral("main/move/") + name),
                  error)) {
            return false;
        }
    }
    for (int k = 1; k <= kCategoryIcons; ++k) {
        if (!save(categoryIcon(k, theme), dir.filePath(QStringLiteral("main/%1.bmp").arg(k)),
                  error)) {
            return false;
        }
    }
    for (int n = 1; n <= kEntries; ++n) {
        if (!save(entry(n, false, theme), dir.filePath(QStringLiteral("sub/general/%1.bmp").arg(n)),
                  error) ||
            !save(entry(n, true, theme), dir.filePath(QStringLiteral("sub/move/%1.bmp").arg(n)),
                  error)) {
            return false;
        }
    }
    return save(filler(theme), dir.filePath(QStringLiteral("main/filler.bmp")), error) &&
           save(paging(true, theme), dir.filePath(QStringLiteral("sub/next.bmp")), error) &&
           save(paging(false, theme), dir.filePath(QStringLiteral("sub/previous.bmp")), error) &&
           save(strip(), dir.filePath(QStringLiteral("sub/strip.bmp")), error);
}

}  // namespace art
