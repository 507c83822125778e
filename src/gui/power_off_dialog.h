#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

// The last chance to keep the machine on after a run whose finish action is to shut down: a
// countdown that Cancel stops. accepted() when the time ran out.
class PowerOffDialog : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kSeconds = 30;

    explicit PowerOffDialog(QWidget* parent = nullptr);

    // Starts the countdown without waiting for it (the window goes on working meanwhile).
    void start();
    int secondsLeft() const { return left_; }
    QPushButton* cancelButton() const { return cancel_; }

  private:
    void tick();

    QLabel* text_;
    QPushButton* cancel_;
    QTimer timer_;
    int left_ = kSeconds;
};
