#pragma once

#include <QObject>

namespace platform {

// Turns the requests to stop that a console program gets (Ctrl-C, a termination request, a
// closed terminal) into a Qt signal on the event loop's thread, so a run can stop cleanly and
// write its summary. A broken pipe on standard output or error no longer ends the process
// while one exists. One instance per process.
class InterruptNotifier : public QObject {
    Q_OBJECT
  public:
    explicit InterruptNotifier(QObject* parent = nullptr);
    ~InterruptNotifier() override;

    bool isActive() const { return active_; }

  signals:
    void interrupted();

  private:
    void check();

    bool active_ = false;
    QObject* watcher_ = nullptr;
};

// Whether standard error is a terminal (where progress may redraw one line) rather than a
// file or pipe (where every line stays).
bool standardErrorIsTerminal();

}  // namespace platform
