#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "gui/desktop_app.h"
#include "gui/main_window.h"
#include "platform/program_paths.h"

namespace {

// Ends the program once `window` has finished its first paint.
void quitAfterFirstPaint(QWidget* window) {
    struct Watcher : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                QTimer::singleShot(0, qApp, [] { QApplication::quit(); });
                watched->removeEventFilter(this);
            }
            return false;
        }
    };
    window->installEventFilter(new Watcher);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvex Video Converter"));
    QApplication::setApplicationVersion(QStringLiteral("0.2.0"));
    SessionConfig config;
    config.programFileName = platform::programFileNameFrom(argc > 0 ? argv[0] : nullptr);
    config.programFolder = platform::programFolder();
    DesktopApp desktop(std::move(config));
    Tfm_main& window = desktop.mainWindow();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
    window.show();
    // For the start-up benchmark: end once the window has been drawn the first time.
    if (qEnvironmentVariableIsSet("ORVEX_QUIT_WHEN_SHOWN")) {
        quitAfterFirstPaint(&window);
    }
    return QApplication::exec();
}
