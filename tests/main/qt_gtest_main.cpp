#include <gtest/gtest.h>

#include <QCoreApplication>

// Core objects need an application object for their processes, timers and event loops; every
// test executable gets one here instead of each test making its own.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
