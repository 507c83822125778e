// The baseline of startup_bench: the least a Qt Widgets program does to show a window of the
// main window's size with a line of text, ending once it has been drawn the first time.
#include <QApplication>
#include <QLabel>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Orvex Video Converter"));
    window.resize(781, 558);
    struct Watcher : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                QTimer::singleShot(0, qApp, [] { QApplication::quit(); });
                watched->removeEventFilter(this);
            }
            return false;
        }
    } watcher;
    window.installEventFilter(&watcher);
    window.show();
    return QApplication::exec();
}
