#include "gui/status_line.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QToolButton>

#include "gui/message_log.h"

StatusLine::StatusLine(MessageLog& log, QWidget* parent)
    : QWidget(parent),
      log_(log),
      label_(new QLabel(this)),
      badge_(new QToolButton(this)),
      activity_(new QToolButton(this)) {
    label_->setObjectName(QStringLiteral("status"));
    label_->setWordWrap(false);
    // The line shortens itself to the room the count leaves it.
    label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label_->installEventFilter(this);
    badge_->setObjectName(QStringLiteral("messagesBadge"));
    badge_->setAutoRaise(true);
    badge_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    badge_->setCursor(Qt::PointingHandCursor);
    badge_->setToolTip(QStringLiteral("Read the messages"));
    badge_->setAccessibleName(QStringLiteral("Messages"));
    connect(badge_, &QToolButton::clicked, &log_, &MessageLog::showLog);
    connect(&log_, &MessageLog::changed, this, &StatusLine::showBadge);
    activity_->setObjectName(QStringLiteral("activityButton"));
    activity_->setText(QStringLiteral("Activity"));
    activity_->setAutoRaise(true);
    activity_->setCursor(Qt::PointingHandCursor);
    activity_->setToolTip(QStringLiteral("What this run of Orvex did, as it happens"));
    activity_->setAccessibleName(QStringLiteral("Activity"));
    connect(activity_, &QToolButton::clicked, this, &StatusLine::activityRequested);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(label_, 1);
    layout->addWidget(badge_, 0, Qt::AlignVCenter);
    layout->addWidget(activity_, 0, Qt::AlignVCenter);
    showBadge();
}

void StatusLine::setHint(const QString& text) {
    hint_ = text;
    render();
}

void StatusLine::setProgress(const QString& text) {
    progress_ = text;
    render();
}

void StatusLine::say(const QString& line, const QString& whole) {
    said_ = line;
    saidWhole_ = whole.isEmpty() ? line : whole;
    render();
}

void StatusLine::clearSaid() {
    if (!said_.isEmpty()) {
        said_.clear();
        saidWhole_.clear();
        render();
    }
}

QString StatusLine::text() const {
    return !progress_.isEmpty() ? progress_ : !said_.isEmpty() ? saidWhole_ : hint_;
}

void StatusLine::render() {
    const QString line = !progress_.isEmpty() ? progress_ : !said_.isEmpty() ? said_ : hint_;
    const QString first = line.section(QLatin1Char('\n'), 0, 0);
    const QString shown =
        label_->fontMetrics().elidedText(first, Qt::ElideRight, label_->contentsRect().width());
    label_->setText(shown);
    // The hint stays quiet; what the program has to say reads as plainly as the rest.
    label_->setForegroundRole(line == hint_ ? QPalette::PlaceholderText : QPalette::WindowText);
    const QString whole = text();
    label_->setToolTip(shown != whole ? whole : QString());
    label_->setCursor(log_.messages().isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

void StatusLine::showBadge() {
    const int count = int(log_.messages().size());
    badge_->setVisible(count > 0);
    badge_->setText(count == 1 ? QStringLiteral("1 message")
                               : QStringLiteral("%1 messages").arg(count));
    // A pill beside the line; messages not read yet make it stand out.
    const bool unread = log_.unread() > 0;
    badge_->setStyleSheet(
        QStringLiteral("QToolButton { border: 1px solid %1; border-radius: 10px; padding: 2px 9px;"
                       " color: %1; background: %2; font-weight: %3; }"
                       " QToolButton:hover { background: %4; }")
            .arg(unread ? QStringLiteral("#f2b84b") : QStringLiteral("#8a93a6"),
                 unread ? QStringLiteral("rgba(242, 184, 75, 40)")
                        : QStringLiteral("rgba(138, 147, 166, 25)"),
                 unread ? QStringLiteral("bold") : QStringLiteral("normal"),
                 unread ? QStringLiteral("rgba(242, 184, 75, 70)")
                        : QStringLiteral("rgba(138, 147, 166, 50)")));
    render();
}

bool StatusLine::eventFilter(QObject* watched, QEvent* event) {
    if (watched == label_ && event->type() == QEvent::Resize) {
        render();
    } else if (watched == label_ && event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
               !log_.messages().isEmpty()) {
        log_.showLog();
    }
    return QWidget::eventFilter(watched, event);
}
