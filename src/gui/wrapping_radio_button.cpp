#include "gui/wrapping_radio_button.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <algorithm>

WrappingRadioButton::WrappingRadioButton(const QString& text, QWidget* parent)
    : QRadioButton(text, parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int WrappingRadioButton::indicatorRoom() const {
    return style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this) +
           style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
}

QRect WrappingRadioButton::textRect() const {
    return rect().adjusted(indicatorRoom(), 0, 0, 0);
}

QRect WrappingRadioButton::textBounds(int width) const {
    return fontMetrics().boundingRect(QRect(0, 0, std::max(1, width), QWIDGETSIZE_MAX),
                                      kTextFlags & ~Qt::AlignVCenter, text());
}

int WrappingRadioButton::heightForWidth(int width) const {
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, this);
    return std::max(indicator, textBounds(width - indicatorRoom()).height()) + 2;
}

QSize WrappingRadioButton::sizeHint() const {
    const int oneLine = fontMetrics().horizontalAdvance(text()) + 1;
    return {indicatorRoom() + oneLine, heightForWidth(indicatorRoom() + oneLine)};
}

QSize WrappingRadioButton::minimumSizeHint() const {
    // As narrow as the longest word allows.
    int widest = 0;
    for (const QString& word : text().split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(word) + 1);
    }
    return {indicatorRoom() + widest, heightForWidth(indicatorRoom() + widest)};
}

void WrappingRadioButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool focused = option.state & QStyle::State_HasFocus;
    option.state &= ~QStyle::State_HasFocus;
    option.text.clear();
    // The indicator stands beside the first line.
    const QRect text = textRect();
    const QRect lines = fontMetrics().boundingRect(text, kTextFlags, this->text());
    option.rect = QRect(0, lines.top(), indicatorRoom(), fontMetrics().height());
    painter.drawControl(QStyle::CE_RadioButton, option);
    painter.drawItemText(text, kTextFlags, palette(), isEnabled(), this->text(),
                         QPalette::WindowText);
    if (focused) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = lines.adjusted(-1, 0, 1, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
    }
}

bool WrappingRadioButton::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}
