#include "gui/picker_view.h"

#include <QDir>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

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

}  // namespace

PickerView::PickerView(ProfilePicker& picker, const QString& dataFolder, QWidget* window)
    : QObject(window), picker_(picker), folder_(dataFolder) {
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
        button->setCursor(Qt::PointingHandCursor);
        button->setPixmap(load(QStringLiteral("images/sub/%1.bmp").arg(QLatin1String(place.file)),
                               button->size()));
        paging_[int(image)] = button;
    }
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
    pixmaps_.insert(relativePath, pixmap);
    return pixmap;
}

void PickerView::render() {
    renderPending_ = false;
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
                label->setPixmap(load(entryPath(picker_.entryHighlighted(numbers[i]), numbers[i]),
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
}

bool PickerView::eventFilter(QObject* watched, QEvent* event) {
    auto* label = qobject_cast<QLabel*>(watched);
    if (label != nullptr) {
        if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
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
