#include "gui/look/orvex_style.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

// The colours of an indicator in the state the option describes.
struct IndicatorInk {
    QColor border;
    QColor fill;
    QColor mark;
};

IndicatorInk inkOf(const QStyleOption& option) {
    const QPalette& pal = option.palette;
    const bool enabled = option.state & QStyle::State_Enabled;
    const bool on = option.state & (QStyle::State_On | QStyle::State_NoChange);
    // On a selected row the highlight is the accent itself: the box turns white instead.
    const bool selected = option.state & QStyle::State_Selected;
    const QColor accent = pal.color(QPalette::Active, QPalette::Highlight);
    IndicatorInk ink;
    if (!enabled) {
        ink.border = pal.color(QPalette::Disabled, QPalette::WindowText);
        ink.fill = on ? ink.border : Qt::transparent;
        ink.mark = pal.color(QPalette::Disabled, QPalette::Base);
        return ink;
    }
    if (selected) {
        ink.border = pal.color(QPalette::HighlightedText);
        ink.fill = on ? ink.border : QColor(Qt::transparent);
        ink.mark = accent;
        return ink;
    }
    ink.border = on ? accent : pal.color(QPalette::Text);
    if (!on) {
        ink.border.setAlphaF(option.state & QStyle::State_MouseOver ? 0.9 : 0.6);
    }
    ink.fill = on ? accent : pal.color(QPalette::Base);
    ink.mark = pal.color(QPalette::HighlightedText);
    return ink;
}

// The largest square of `rect`, centred, at most 16 pixels.
QRectF squareIn(const QRect& rect) {
    const qreal side = qMin<qreal>(16, qMin(rect.width(), rect.height()));
    return QRectF(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side,
                  side);
}

// The indicator's outline (a rounded box or a ring) in its border and fill; the mark goes on
// top. Returns the outline's rectangle.
QRectF drawOutline(QPainter* p, const QStyleOption& option, const IndicatorInk& ink, bool ring) {
    const QRectF r = squareIn(option.rect).adjusted(1, 1, -1, -1);
    p->setRenderHint(QPainter::Antialiasing);
    p->setPen(QPen(ink.border, 1.5));
    p->setBrush(ink.fill);
    if (ring) {
        p->drawEllipse(r);
    } else {
        p->drawRoundedRect(r, 3, 3);
    }
    return r;
}

void drawCheck(QPainter* p, const QStyleOption& option) {
    const IndicatorInk ink = inkOf(option);
    p->save();
    const QRectF box = drawOutline(p, option, ink, false);
    p->setPen(QPen(ink.mark, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p->setBrush(Qt::NoBrush);
    const qreal w = box.width();
    if (option.state & QStyle::State_NoChange) {
        p->drawLine(QPointF(box.left() + w * 0.25, box.center().y()),
                    QPointF(box.right() - w * 0.25, box.center().y()));
    } else if (option.state & QStyle::State_On) {
        QPainterPath mark;
        mark.moveTo(box.left() + w * 0.22, box.top() + w * 0.52);
        mark.lineTo(box.left() + w * 0.42, box.top() + w * 0.72);
        mark.lineTo(box.left() + w * 0.78, box.top() + w * 0.30);
        p->drawPath(mark);
    }
    p->restore();
}

void drawRadio(QPainter* p, const QStyleOption& option) {
    const IndicatorInk ink = inkOf(option);
    p->save();
    const QRectF ring = drawOutline(p, option, ink, true);
    if (option.state & QStyle::State_On) {
        p->setPen(Qt::NoPen);
        p->setBrush(ink.mark);
        const qreal r = ring.width() * 0.2;
        p->drawEllipse(ring.center(), r, r);
    }
    p->restore();
}

}  // namespace

OrvexStyle::OrvexStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void OrvexStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    switch (element) {
        case PE_IndicatorCheckBox:
        case PE_IndicatorItemViewItemCheck:
            drawCheck(painter, *option);
            return;
        case PE_IndicatorRadioButton:
            drawRadio(painter, *option);
            return;
        default:
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}
