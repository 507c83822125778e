#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

TEST(ProgramPaths, FileNameIsTheLastPartOfArgv0AsGiven) {
    EXPECT_EQ(platform::programFileNameFrom("/usr/bin/orvex-dvd"), "orvex-dvd");
    EXPECT_EQ(platform::programFileNameFrom("./build/bin/Orvex Kamzu"), "Orvex Kamzu");
    EXPECT_EQ(platform::programFileNameFrom("orvex"), "orvex");
    EXPECT_EQ(platform::programFileNameFrom(nullptr), "");
}

TEST(ProgramPaths, IniNamesDropOnlyARealExeSuffix) {
    const struct {
        const char* program;
        const char* settings;
    } cases[] = {
        {"Converter.exe", "Converter.ini"},
        {"CONVERTER.EXE", "CONVERTER.ini"},
        {"orvex", "orvex.ini"},
        {"orvex.bin", "orvex.ini"},
        {"orvex-dvd", "orvex-dvd.ini"},  // no ".exe": nothing is cut off blindly
        {"exe", "exe.ini"},
        {"my.app.exe", "my.ini"},
        {".orvex", ".orvex.ini"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::settingsFileName(c.program), c.settings) << c.program;
        EXPECT_EQ(platform::choicesFileName(c.program), QString("pro ") + c.settings);
    }
}

TEST(ProgramPaths, FoldersEndWithASeparator) {
    const QString folder = platform::programFolder();
    EXPECT_TRUE(folder.endsWith('/'));
    EXPECT_EQ(folder, QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath() + "/");
    EXPECT_TRUE(platform::defaultOutputFolder().endsWith('/'));
    EXPECT_TRUE(QDir::isAbsolutePath(platform::defaultOutputFolder()));
}

}  // namespace
