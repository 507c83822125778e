#include "gui/skin/skin_object.h"

#include "gui/accessible_roles.h"
#include "gui/skin/skin_bundle.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWindow>
#include <algorithm>

namespace {

const QString kNormal = QStringLiteral("normal");
const QString kHover = QStringLiteral("hover");
const QString kPressed = QStringLiteral("pressed");
const QString kTrack = QStringLiteral("track");
const QString kFill = QStringLiteral("fill");
const QString kThumb = QStringLiteral("thumb");

// A look without its colour: a coloured command that cannot act would still read as one
// that can, however faded.
QPixmap greyed(const QPixmap& look) {
    QImage image = look.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

SkinObject::SkinObject(const SkinObjectDef& def, QWidget* parent)
    : QWidget(parent), name_(def.name) {
    setObjectName(def.name);
    adopt(def);
}

void SkinObject::adopt(const SkinObjectDef& def) {
    kind_ = def.kind;
    style_ = def.text;
    tooltip_ = def.tooltip;
    showTip();
    showCursor();
    // Reached with Tab, never taken by a click: the mouse leaves the keyboard's place alone.
    const bool control = isButtonLike() || kind_ == SkinObjectKind::Bar;
    setFocusPolicy(control ? Qt::TabFocus : Qt::NoFocus);
    // The role first: naming the object may already ask for its accessible interface.
    static const QAccessible::Role roles[] = {QAccessible::Button, QAccessible::StaticText,
                                              QAccessible::Slider, QAccessible::Button,
                                              QAccessible::Button, QAccessible::TitleBar};
    accessible_roles::setRole(this, roles[int(kind_)]);
    setAccessibleName(def.accessibleName);
    setAccessibleDescription(def.tooltip);
    update();
}

void SkinObject::showCursor() {
    if ((isButtonLike() || kind_ == SkinObjectKind::Bar) && isEnabled()) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
}

void SkinObject::showTip() {
    const QString shown = shownText();
    const QString whole = text_.isEmpty() ? style_.placeholder : text_;
    setToolTip(kind_ == SkinObjectKind::Text && shown != whole ? whole : tooltip_);
}

void SkinObject::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        showCursor();
        update();
    }
}

void SkinObject::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    showTip();
}

bool SkinObject::isButtonLike() const {
    return kind_ == SkinObjectKind::Command || kind_ == SkinObjectKind::Close ||
           kind_ == SkinObjectKind::Minimize;
}

void SkinObject::setText(const QString& text) {
    if (text_ == text) {
        return;
    }
    text_ = text;
    if (kind_ == SkinObjectKind::Text) {
        showTip();
        update();
    }
}

void SkinObject::setPosition(int position) {
    position = std::clamp(position, 0, kMaxPosition);
    if (position_ == position) {
        return;
    }
    position_ = position;
    if (kind_ == SkinObjectKind::Bar) {
        update();
    }
}

void SkinObject::place(const QRect& rect, bool visible, const QHash<QString, QString>& looks,
                       std::shared_ptr<const SkinBundle> bundle) {
    looks_ = looks;
    bundle_ = std::move(bundle);
    setGeometry(rect);
    setVisible(visible);
    update();
}

QPixmap SkinObject::look(const QString& state) const {
    if (!bundle_) {
        return {};
    }
    const QPixmap picture = bundle_->pixmap(looks_.value(state, looks_.value(kNormal)));
    return picture.isNull() && state != kNormal ? bundle_->pixmap(looks_.value(kNormal)) : picture;
}

void SkinObject::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    switch (kind_) {
        case SkinObjectKind::Command:
        case SkinObjectKind::Close:
        case SkinObjectKind::Minimize: {
            const QString& state = (leftDown_ && downInside_) ? kPressed
                                   : hovered_                 ? kHover
                                                              : kNormal;
            // A command that cannot act now shows grey and faded on the window behind it.
            if (!isEnabled()) {
                painter.setOpacity(0.35);
                painter.drawPixmap(0, 0, greyed(look(kNormal)));
            } else {
                painter.drawPixmap(0, 0, look(state));
            }
            break;
        }
        case SkinObjectKind::Text:
            paintText(painter);
            break;
        case SkinObjectKind::Bar:
            paintBar(painter);
            break;
        case SkinObjectKind::Title:
            break;
    }
    if (hasFocus()) {
        paintFocusMark(painter);
    }
}

void SkinObject::paintFocusMark(QPainter& painter) {
    // The keyboard's place: a ring in the accent, drawn over the object's own look.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ring = palette().color(QPalette::Highlight).lighter(180);
    painter.setPen(QPen(ring, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    painter.restore();
}

QFont SkinObject::textFont(const QString& shown) const {
    QFont font(style_.family);
    font.setBold(style_.bold);
    for (int size = style_.pixelSize; size >= style_.minPixelSize; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font, this).horizontalAdvance(shown) <= width()) {
            break;
        }
    }
    return font;
}

QString SkinObject::shownText() const {
    const QString shown = text_.isEmpty() ? style_.placeholder : text_;
    return QFontMetrics(textFont(shown), this).elidedText(shown, Qt::ElideRight, width());
}

void SkinObject::paintText(QPainter& painter) {
    const bool empty = text_.isEmpty();
    painter.setFont(textFont(empty ? style_.placeholder : text_));
    painter.setPen(QColor(empty ? style_.placeholderColor : style_.color));
    painter.drawText(rect(), int(style_.alignment), shownText());
}

void SkinObject::paintBar(QPainter& painter) {
    const QPixmap track = look(kTrack);
    const QPixmap fill = look(kFill);
    const QPixmap thumb = look(kThumb);
    painter.drawPixmap(0, 0, track);
    const int travel = std::max(0, width() - thumb.width());
    const int thumbLeft = int(qint64(travel) * position_ / kMaxPosition);
    const int centre = thumbLeft + thumb.width() / 2;
    painter.drawPixmap(QRect(0, 0, centre, fill.height()), fill,
                       QRect(0, 0, centre, fill.height()));
    painter.drawPixmap(thumbLeft, (height() - thumb.height()) / 2, thumb);
}

int SkinObject::positionAt(int x) const {
    const int thumbWidth = look(kThumb).width();
    const int travel = width() - thumbWidth;
    if (travel <= 0) {
        return 0;
    }
    const int along = std::clamp(x - thumbWidth / 2, 0, travel);
    return int(qint64(along) * kMaxPosition / travel);
}

void SkinObject::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        leftDown_ = true;
        downInside_ = true;
        if (kind_ == SkinObjectKind::Bar) {
            setPosition(positionAt(at.x()));
        } else if (kind_ == SkinObjectKind::Title) {
            // A window manager move where the platform offers one; our own move otherwise.
            QWindow* handle = window()->windowHandle();
            if (handle && handle->startSystemMove()) {
                leftDown_ = false;
            } else {
                dragOffset_ =
                    event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
            }
        }
        update();
    }
    emit pressed(this, event->button(), at);
}

void SkinObject::mouseMoveEvent(QMouseEvent* event) {
    if (!leftDown_) {
        return;
    }
    if (kind_ == SkinObjectKind::Bar) {
        setPosition(positionAt(event->position().toPoint().x()));
    } else if (kind_ == SkinObjectKind::Title) {
        window()->move(event->globalPosition().toPoint() - dragOffset_);
    } else {
        // The pressed look follows the pointer out of the object and back in.
        downInside_ = rect().contains(event->position().toPoint());
        update();
    }
}

void SkinObject::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool wasLeftDown = leftDown_ && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton) {
        leftDown_ = false;
        if (wasLeftDown && kind_ == SkinObjectKind::Bar) {
            setPosition(positionAt(at.x()));
        }
        update();
    }
    // A handler may close the window or delete this object.
    const QPointer<SkinObject> alive(this);
    emit released(this, event->button(), at);
    if (alive && wasLeftDown && rect().contains(at)) {
        emit clicked(this);
        if (alive) {
            runWindowAction();
        }
    }
}

void SkinObject::activate() {
    if (!isButtonLike() || !isEnabled()) {
        return;
    }
    const QPoint centre = rect().center();
    const QPointer<SkinObject> alive(this);
    emit pressed(this, Qt::LeftButton, centre);
    if (alive) {
        emit released(this, Qt::LeftButton, centre);
    }
    if (alive) {
        emit clicked(this);
    }
    if (alive) {
        runWindowAction();
    }
}

void SkinObject::stepBar(int position) {
    setPosition(position);
    // Where a pointer would have put the thumb's centre.
    const int thumbWidth = look(kThumb).width();
    const int travel = std::max(0, width() - thumbWidth);
    const QPoint at(thumbWidth / 2 + int(qint64(travel) * position_ / kMaxPosition), height() / 2);
    const QPointer<SkinObject> alive(this);
    emit pressed(this, Qt::LeftButton, at);
    if (alive) {
        emit released(this, Qt::LeftButton, at);
    }
}

void SkinObject::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (isButtonLike() && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
                           key == Qt::Key_Select)) {
        activate();
        return;
    }
    if (kind_ == SkinObjectKind::Bar) {
        const int step = kMaxPosition / 20;
        switch (key) {
            case Qt::Key_Left:
            case Qt::Key_Down:
                stepBar(position_ - step);
                return;
            case Qt::Key_Right:
            case Qt::Key_Up:
                stepBar(position_ + step);
                return;
            case Qt::Key_Home:
                stepBar(0);
                return;
            case Qt::Key_End:
                stepBar(kMaxPosition);
                return;
            default:
                break;
        }
    }
    QWidget::keyPressEvent(event);
}

void SkinObject::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void SkinObject::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void SkinObject::runWindowAction() {
    if (kind_ == SkinObjectKind::Close) {
        window()->close();
    } else if (kind_ == SkinObjectKind::Minimize) {
        window()->showMinimized();
    }
}

void SkinObject::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void SkinObject::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}
