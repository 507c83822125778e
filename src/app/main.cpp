#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <optional>

#include "core/shell/command_line_sources.h"
#include "gui/desktop_app.h"
#include "gui/instance_channel.h"
#include "gui/main_window.h"
#include "gui/message_log.h"
#include "platform/edition.h"
#include "platform/install/program_files.h"
#include "platform/program_paths.h"

namespace {

const char kHelp[] =
    "Usage: %s [OPTIONS] [FILE|FOLDER]...\n"
    "Opens the Orvex window. Files and folders given are added as if dropped on the window:\n"
    "a file as Add Files adds it (one that is not a video is left out, with the reason in the\n"
    "message log), a folder as Add Folder scans it. The DVD edition (a program name holding\n"
    "\"dvd\", such as orvex-dvd) takes one DVD folder, as Add DVD, or IFO files, as Add IFO.\n"
    "When a window of the same edition is open already, the files are handed to it and this\n"
    "program ends; without files a second window opens.\n"
    "\n"
    "  -h, --help              this text\n"
    "      --version           the version\n"
    "\n"
    "Exit status: 0 when the window was closed or the files were handed over; 2 usage error.\n";

// --help and --version are answered before the application object exists, so they work
// without a display.
std::optional<int> answerInfoOptions(int argc, char* argv[], const QString& programFileName) {
    const QByteArray name = programFileName.toLocal8Bit();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) {
            break;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf(kHelp, name.constData());
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n", name.constData(), platform::version());
            return 0;
        }
    }
    return std::nullopt;
}

// The files and folders of the command line (Qt has taken its own options out); nullopt after
// saying why when an option is unknown.
std::optional<QStringList> operandsOf(const QStringList& arguments, const QString& name) {
    QStringList operands;
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "%s: unknown option '%s' (see --help)\n",
                         name.toLocal8Bit().constData(), argument.toLocal8Bit().constData());
            return std::nullopt;
        } else {
            operands << argument;
        }
    }
    return operands;
}

// Ends the program once `window` has finished its first paint, saying on standard output where
// its skin came from and what the message log holds, for scripts that check an installation.
void quitAfterFirstPaint(Tfm_main* window) {
    struct Watcher : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                auto* shown = static_cast<Tfm_main*>(watched);
                std::printf("skin: %s\n", qPrintable(shown->skin().origin()));
                for (const QString& message : shown->messages()->messages()) {
                    std::printf("message: %s\n", qPrintable(message));
                }
                std::fflush(stdout);
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
    const QString programFileName = platform::programFileNameFrom(argc > 0 ? argv[0] : nullptr);
    if (const std::optional<int> code = answerInfoOptions(argc, argv, programFileName)) {
        return *code;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvex Video Converter"));
    QApplication::setApplicationVersion(QString::fromLatin1(platform::version()));
    // Ties the window to its desktop entry (its name and icon in the desktop's task list).
    QGuiApplication::setDesktopFileName(platform::isDvdEdition(programFileName)
                                            ? QStringLiteral("io.orvex.DvdConverter")
                                            : QStringLiteral("io.orvex.Converter"));
    const std::optional<QStringList> operands =
        operandsOf(QApplication::arguments().mid(1), programFileName);
    if (!operands) {
        return 2;
    }
    const QStringList paths = CommandLineSources::absolutePaths(*operands, QDir::currentPath());

    // A window of this edition is open: it takes the files. Two starts at once race for the
    // socket; the loser hands over to the winner.
    const QString display =
        QGuiApplication::platformName() + QLatin1Char(' ') +
        qEnvironmentVariable("WAYLAND_DISPLAY", qEnvironmentVariable("DISPLAY"));
    InstanceChannel channel(InstanceChannel::socketPathFor(programFileName, display));
    if (!paths.isEmpty() && channel.handOver(paths)) {
        return 0;
    }
    if (!channel.listen() && !paths.isEmpty() && channel.handOver(paths)) {
        return 0;
    }

    SessionConfig config;
    config.programFileName = programFileName;
    config.folders = platform::programFolders();
    DesktopApp desktop(std::move(config));
    Tfm_main& window = desktop.mainWindow();
    if (const QScreen* screen = QApplication::primaryScreen()) {
        window.move(screen->availableGeometry().center() - window.rect().center());
    }
    CommandLineSources& sources = desktop.session().commandLineSources();
    QObject::connect(&channel, &InstanceChannel::pathsReceived, &window,
                     [&window, &sources](const QStringList& handed) {
                         window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
                         window.raise();
                         window.activateWindow();
                         sources.open(handed);
                     });
    window.show();
    // Where no window manager hands the keyboard to a new window, F5 and Ctrl+O would do
    // nothing until the window is clicked.
    window.activateWindow();
    if (!paths.isEmpty()) {
        QTimer::singleShot(0, &window, [&sources, paths] { sources.open(paths); });
    }
    // For the start-up benchmark and the package test: end once the window has been drawn.
    if (qEnvironmentVariableIsSet("ORVEX_QUIT_WHEN_SHOWN")) {
        quitAfterFirstPaint(&window);
    }
    return QApplication::exec();
}
