#include <gtest/gtest.h>

#include <QApplication>

// Widget tests need a QApplication; one per test executable. They never need a display, and
// test discovery at build time runs this main without ctest's environment.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
