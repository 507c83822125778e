#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT (Ctrl-C), SIGTERM and SIGHUP into a Qt signal on the event loop's thread: the signal
// handler only writes one byte into a pipe, and a socket notifier on the pipe's read end
// emits interrupted(). One instance per process.
class InterruptNotifier : public QObject {
    Q_OBJECT
  public:
    explicit InterruptNotifier(QObject* parent = nullptr);
    ~InterruptNotifier() override;

    bool isActive() const { return notifier_ != nullptr; }

  signals:
    void interrupted();

  private:
    void drain();

    QSocketNotifier* notifier_ = nullptr;
};
