#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <QCoreApplication>

// Core objects need an application object for their processes, timers and event loops; every
// test executable gets one here instead of each test making its own.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Nothing a test runs (the programs it starts included) may write the user's own
    // activity logs or saved job list.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
