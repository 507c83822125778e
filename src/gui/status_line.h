#pragma once

#include <QLabel>
#include <QString>
#include <QWidget>

class MessageLog;
class QToolButton;

// The line at the foot of the main window: how a run is getting on, else the last thing the
// program had to say, else a hint of what to do next; beside it a count of the messages in
// the log that opens the log. What was said stays until the user does something else. A line
// too long for its room is shortened with "…" and read whole in its tooltip.
class StatusLine : public QWidget {
    Q_OBJECT
  public:
    StatusLine(MessageLog& log, QWidget* parent = nullptr);

    void setHint(const QString& text);
    // How the run is getting on; empty when no run is under way.
    void setProgress(const QString& text);
    // Says `line` until the user does something else; `whole` (the line when empty) is what
    // the tooltip gives.
    void say(const QString& line, const QString& whole = {});
    // The user did something else: what was said no longer applies.
    void clearSaid();

    // The whole of what the line shows now.
    QString text() const;
    QLabel* label() const { return label_; }
    QToolButton* badge() const { return badge_; }
    QToolButton* activityButton() const { return activity_; }

  signals:
    // The user asked for the activity log.
    void activityRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void render();
    void showBadge();

    MessageLog& log_;
    QLabel* label_;
    QToolButton* badge_;
    QToolButton* activity_;
    QString hint_;
    QString progress_;
    QString said_;
    QString saidWhole_;
};
