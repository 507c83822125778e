#include "qt_gtest.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace orvex::test {

bool waitUntil(const std::function<bool()>& pred, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    // processEvents with a time limit drops WaitForMoreEvents and spins, taking a core from the
    // encoders under test; a tick wakes a blocking wait instead, for predicates no event changes.
    QTimer tick;
    tick.start(20);
    while (!pred() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return pred();
}

}  // namespace orvex::test
