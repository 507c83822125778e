#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <QApplication>

// Widget tests need a QApplication; one per test executable. They never need a display, and
// test discovery at build time runs this main without ctest's environment.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    // Nothing a test runs (the programs it starts included) may write the user's own
    // activity logs or saved job list.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
