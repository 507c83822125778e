#include "gui/picker_view.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/profiles/profile_catalog.h"
#include "gui/accessible_roles.h"
#include "gui/skin/skin_object.h"

namespace {

constexpr int kCategoryWidth = 153;
constexpr int kPagingWidth = 71;
constexpr int kPagingHeight = 17;

QString entryPath(bool highlighted, int number) {
    return QStringLiteral("images/sub/%1/%2.bmp")
        .arg(highlighted ? QStringLiteral("move") : QStringLiteral("general"))
        .arg(number);
}

QString categoryPath(bool highlighted, int category) {
    return QStringLiteral("images/main/%1/%2.bmp")
        .arg(highlighted ? QStringLiteral("move") : QStringLiteral("general"),
             ProfilePicker::categoryImageName(category));
}

// What assistive tools call an entry: its profile, or for the parents of the sub-panels the
// group they open.
QString entryName(int entry) {
    if (entry >= 2 && entry <= 5) {
        const QList<int> sub = ProfilePicker::entriesOf(
            static_cast<ProfilePicker::Panel>(ProfilePicker::Avi + entry - 2));
        return QStringLiteral("%1 profiles").arg(ProfileCatalog::groupOf(sub.first()));
    }
    return ProfileCatalog::displayNameOf(entry).value_or(QStringLiteral("Empty"));
}

// The ring around the keyboard's place in the picker.
class FocusMark : public QWidget {
  public:
    explicit FocusMark(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(palette().color(QPalette::Highlight).lighter(180), 2));
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

// The pictures are drawn in one accent; a window whose highlight has another hue (the brand
// kamzu's) turns the accent parts of the highlighted pictures, the paging and the filler to it.
constexpr int kDrawnAccentHue = 219;

int accentShiftFor(const QColor& highlight) {
    const int hue = highlight.hsvHue();
    if (hue < 0 || highlight.hsvSaturation() < 64) {
        return 0;
    }
    const int shift = ((hue - kDrawnAccentHue) % 360 + 540) % 360 - 180;
    return std::abs(shift) < 10 ? 0 : shift;
}

bool drawnInAccent(const QString& relativePath) {
    // Pictures at rest ("general") carry the categories' own colours.
    return !relativePath.contains(QLatin1String("/general/"));
}

QPixmap turnedToAccent(const QPixmap& pixmap, int shift) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QColor c = QColor::fromRgba(line[x]);
            int h = 0, sat = 0, v = 0, a = 0;
            c.getHsv(&h, &sat, &v, &a);
            // Only the accent's bright blues and violets: the dark surfaces and the categories'
            // own hues stay.
            if (sat >= 80 && v >= 100 && h >= 195 && h <= 285) {
                // The brand's accent is darker than the pictures': white text keeps its contrast.
                c.setHsv((h + shift + 360) % 360, sat, v * 4 / 5, a);
                line[x] = c.rgba();
            }
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

PickerView::PickerView(ProfilePicker& picker, const QString& dataFolder, QWidget* window)
    : QObject(window),
      picker_(picker),
      folder_(dataFolder),
      accentShift_(accentShiftFor(window->palette().color(QPalette::Highlight))) {
    for (int p = 0; p < ProfilePicker::PanelCount; ++p) {
        const auto which = static_cast<ProfilePicker::Panel>(p);
        auto* frame = new QFrame(window);
        frame->setObjectName(ProfilePicker::panelName(which));
        frame->setAutoFillBackground(true);
        QPalette palette = frame->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Mid));
        frame->setPalette(palette);
        frame->resize(p == ProfilePicker::Main ? kCategoryWidth : ProfilePicker::kPanelWidth,
                      ProfilePicker::kPanelHeight);
        frame->hide();
        panels_[p] = frame;
        const QList<int> numbers = ProfilePicker::entriesOf(which);
        for (int i = 0; i < numbers.size(); ++i) {
            const int n = numbers[i];
            QLabel* label = picture(
                frame, picker.entryRect(which, i), [this, n] { picker_.moveOverEntry(n); },
                [this, n] { picker_.clickEntry(n); });
            label->setObjectName(QStringLiteral("btim_%1").arg(n));
            accessible_roles::setRole(label, QAccessible::Button);
            label->setAccessibleName(entryName(n));
            entries_.insert(n, label);
        }
    }
    // The category column: the first image 27 high, the others 25, a filler below.
    int top = 0;
    for (int k = 1; k <= ProfilePicker::kCategories; ++k) {
        const int height = k == 1 ? 27 : 25;
        QLabel* label = picture(panels_[ProfilePicker::Main], QRect(0, top, kCategoryWidth, height),
                                [this, k] { picker_.moveOverCategory(k); }, {});
        label->setObjectName(ProfilePicker::categoryImageName(k));
        accessible_roles::setRole(label, QAccessible::PageTab);
        label->setAccessibleName(ProfileCatalog::groupOf(
            ProfilePicker::entriesOf(ProfilePicker::panelOfCategory(k)).first()));
        categories_.insert(k, label);
        top += height;
    }
    QLabel* filler =
        picture(panels_[ProfilePicker::Main],
                QRect(0, top, kCategoryWidth, ProfilePicker::kPanelHeight - top), {}, {});
    filler->setObjectName(QStringLiteral("Image3"));
    filler->setPixmap(load(QStringLiteral("images/main/filler.bmp"), filler->size()));

    // The paging images of the two-page categories, with the strips beside them.
    struct PagingPlace {
        ProfilePicker::Panel panel;
        ProfilePicker::Paging image;
        const char* name;
        const char* strip;
        const char* file;
    };
    const PagingPlace places[] = {
        {ProfilePicker::Video1, ProfilePicker::Paging::Image94, "Image94", "btim_next", "next"},
        {ProfilePicker::Video2, ProfilePicker::Paging::Image93, "Image93", "btim_pre", "previous"},
        {ProfilePicker::Audio1, ProfilePicker::Paging::Image2, "Image2", "Image1", "next"},
        {ProfilePicker::Audio2, ProfilePicker::Paging::Image5, "Image5", "Image4", "previous"},
    };
    const int y = ProfilePicker::kPanelHeight - kPagingHeight;
    for (const PagingPlace& place : places) {
        QFrame* frame = panels_[place.panel];
        QLabel* strip = picture(
            frame, QRect(0, y, ProfilePicker::kPanelWidth - kPagingWidth, kPagingHeight), {}, {});
        strip->setObjectName(QLatin1String(place.strip));
        strip->setPixmap(load(QStringLiteral("images/sub/strip.bmp"), strip->size()));
        const ProfilePicker::Paging image = place.image;
        QLabel* button = picture(
            frame, QRect(ProfilePicker::kPanelWidth - kPagingWidth, y, kPagingWidth, kPagingHeight),
            {}, [this, image] { picker_.clickPaging(image); });
        button->setObjectName(QLatin1String(place.name));
        accessible_roles::setRole(button, QAccessible::Button);
        button->setAccessibleName(QLatin1String(place.file) == QLatin1String("next")
                                      ? QStringLiteral("Next page")
                                      : QStringLiteral("Previous page"));
        button->setCursor(Qt::PointingHandCursor);
        button->setPixmap(load(QStringLiteral("images/sub/%1.bmp").arg(QLatin1String(place.file)),
                               button->size()));
        paging_[int(image)] = button;
    }
    for (QFrame* frame : panels_) {
        frame->installEventFilter(this);
    }
    mark_ = new FocusMark(window);
    connect(&picker, &ProfilePicker::changed, this, [this] {
        if (!renderPending_) {
            renderPending_ = true;
            QMetaObject::invokeMethod(this, &PickerView::render, Qt::QueuedConnection);
        }
    });
    render();
}

QLabel* PickerView::picture(QWidget* parent, const QRect& rect, std::function<void()> onEnter,
                            std::function<void()> onClick) {
    auto* label = new QLabel(parent);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (onEnter) {
        label->setMouseTracking(true);
        enters_.insert(label, std::move(onEnter));
    }
    if (onClick) {
        clicks_.insert(label, std::move(onClick));
    }
    label->installEventFilter(this);
    return label;
}

QPixmap PickerView::load(const QString& relativePath, const QSize& size) {
    const auto it = pixmaps_.constFind(relativePath);
    if (it != pixmaps_.constEnd()) {
        return *it;
    }
    QPixmap pixmap(folder_ + relativePath);
    if (pixmap.isNull()) {
        if (!missingSaid_) {
            missingSaid_ = true;
            emit pictureMissing(QDir::toNativeSeparators(folder_ + relativePath));
        }
        // A plain tile stands in, so the picker stays usable.
        pixmap = QPixmap(size.isValid() ? size : QSize(16, 16));
        pixmap.fill(QColor(0x2a, 0x30, 0x3c));
        QPainter p(&pixmap);
        p.setPen(QColor(0x8a, 0x93, 0xa6));
        p.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    }
    if (accentShift_ != 0 && drawnInAccent(relativePath)) {
        pixmap = turnedToAccent(pixmap, accentShift_);
    }
    pixmaps_.insert(relativePath, pixmap);
    return pixmap;
}

void PickerView::render() {
    renderPending_ = false;
    const bool hadKeyboard = holdsKeyboard();
    QList<std::pair<int, QFrame*>> order;
    for (int p = 0; p < ProfilePicker::PanelCount; ++p) {
        const auto which = static_cast<ProfilePicker::Panel>(p);
        const ProfilePicker::PanelState& state = picker_.panel(which);
        QFrame* frame = panels_[p];
        frame->move(state.position);
        frame->setFrameStyle(state.flat ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
        const QList<int> numbers = ProfilePicker::entriesOf(which);
        for (int i = 0; i < numbers.size(); ++i) {
            QLabel* label = entries_.value(numbers[i]);
            label->setGeometry(picker_.entryRect(which, i));
            if (frame->isVisible() || state.visible) {
                label->setPixmap(fitted(entryPath(picker_.entryHighlighted(numbers[i]), numbers[i]),
                                        label->size()));
            }
        }
        frame->setVisible(state.visible);
        if (state.visible) {
            order.append({state.z, frame});
        }
    }
    for (int k = 1; k <= ProfilePicker::kCategories; ++k) {
        QLabel* label = categories_.value(k);
        label->setPixmap(load(categoryPath(picker_.categoryHighlighted(k), k), label->size()));
    }
    // Panels come to the front in the order the picker brought them there.
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [z, frame] : order) {
        frame->raise();
    }
    followKeyboard(hadKeyboard);
    placeMark();
}

QPixmap PickerView::fitted(const QString& relativePath, const QSize& size) {
    const QPixmap picture = load(relativePath, size);
    const int extra = size.height() - picture.height();
    if (extra <= 0 || picture.height() < 2) {
        return picture;
    }
    const QString key = QStringLiteral("%1@%2").arg(relativePath).arg(size.height());
    const auto it = pixmaps_.constFind(key);
    if (it != pixmaps_.constEnd()) {
        return *it;
    }
    // The row above the bottom divider holds only background: it fills the extra height.
    const int w = picture.width();
    const int h = picture.height();
    QPixmap tall(w, size.height());
    QPainter p(&tall);
    p.drawPixmap(0, 0, picture, 0, 0, w, h - 1);
    p.drawPixmap(QRect(0, h - 1, w, extra), picture, QRect(0, h - 2, w, 1));
    p.drawPixmap(0, size.height() - 1, picture, 0, h - 1, w, 1);
    p.end();
    pixmaps_.insert(key, tall);
    return tall;
}

bool PickerView::holdsKeyboard() const {
    QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && std::find(panels_.begin(), panels_.end(), focus) != panels_.end();
}

void PickerView::followKeyboard(bool hadKeyboard) {
    if (picker_.isOpen()) {
        if (!holding_) {
            holding_ = true;
            hadKeyboard = true;
            focusBefore_ = QApplication::focusWidget();
            // Skin buttons take the keyboard only from Tab: opened from one, the picker was
            // opened with the keyboard, and shows its place at once.
            keyboardUsed_ = qobject_cast<SkinObject*>(focusBefore_.data()) != nullptr;
        }
        // A panel that was hidden lost the keys to whatever came next: any visible one takes
        // them back. A click elsewhere meanwhile took them for good.
        const auto visible = std::find_if(panels_.begin(), panels_.end(),
                                          [](QFrame* frame) { return frame->isVisible(); });
        if (hadKeyboard && visible != panels_.end() && !holdsKeyboard()) {
            (*visible)->setFocus(Qt::PopupFocusReason);
        }
        return;
    }
    if (!holding_) {
        return;
    }
    holding_ = false;
    keyboardUsed_ = false;
    if (hadKeyboard) {
        if (focusBefore_ != nullptr && focusBefore_->isVisible()) {
            focusBefore_->setFocus(Qt::PopupFocusReason);
        } else {
            mark_->window()->setFocus(Qt::PopupFocusReason);
        }
    }
    focusBefore_ = nullptr;
}

void PickerView::placeMark() {
    QLabel* place = picker_.keyInCategories() ? categories_.value(picker_.currentCategory())
                                              : entries_.value(picker_.currentProfile());
    if (!keyboardUsed_ || !picker_.isOpen() || place == nullptr || !place->isVisible()) {
        mark_->hide();
        return;
    }
    // Inside the place's own panel: a sub-panel in front of it covers the mark as it covers
    // the place.
    if (mark_->parentWidget() != place->parentWidget()) {
        mark_->setParent(place->parentWidget());
    }
    mark_->setGeometry(place->geometry());
    mark_->show();
    mark_->raise();
}

bool PickerView::keyPressed(int key) {
    using Key = ProfilePicker::Key;
    // Tab leaves the picker as Escape does: closed, the keyboard back on its opener.
    static const QHash<int, Key> keys{{Qt::Key_Up, Key::Up},        {Qt::Key_Down, Key::Down},
                                      {Qt::Key_Left, Key::Left},    {Qt::Key_Right, Key::Right},
                                      {Qt::Key_Return, Key::Enter}, {Qt::Key_Enter, Key::Enter},
                                      {Qt::Key_Space, Key::Enter},  {Qt::Key_Escape, Key::Escape},
                                      {Qt::Key_Tab, Key::Escape},   {Qt::Key_Backtab, Key::Escape}};
    const auto it = keys.constFind(key);
    if (it == keys.constEnd()) {
        return false;
    }
    keyboardUsed_ = true;
    return picker_.pressKey(*it);
}

bool PickerView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QFrame*>(watched) != nullptr &&
        qobject_cast<QLabel*>(watched) == nullptr) {
        if (keyPressed(static_cast<QKeyEvent*>(event)->key())) {
            return true;
        }
    }
    auto* label = qobject_cast<QLabel*>(watched);
    if (label != nullptr) {
        // Only a moving pointer: a panel that opens under a resting one (opened with the
        // keyboard) leaves the keyboard's place alone.
        if (event->type() == QEvent::MouseMove) {
            if (keyboardUsed_) {
                keyboardUsed_ = false;
                placeMark();
            }
            const auto it = enters_.constFind(label);
            if (it != enters_.constEnd()) {
                (*it)();
            }
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            const auto it = clicks_.constFind(label);
            if (it != clicks_.constEnd() &&
                label->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
                const std::function<void()> click = *it;
                click();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
