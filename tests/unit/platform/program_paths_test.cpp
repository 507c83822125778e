#include "platform/program_paths.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/install/program_files.h"

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

TEST(ProgramPaths, OutputFolderIsAnAbsoluteFolder) {
    EXPECT_TRUE(platform::defaultOutputFolder().endsWith('/'));
    EXPECT_TRUE(QDir::isAbsolutePath(platform::defaultOutputFolder()));
}

// The build tree and installed trees under any prefix, as each executable of ours finds them.
TEST(ProgramPaths, FilesAreFoundFromTheExecutableInEitherLayout) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path();
    for (const char* folder :
         {"build/bin", "opt/orvex/bin", "opt/orvex/lib/orvex", "opt/orvex/share/orvex", "half/bin",
          "half/share/orvex", "bare/bin"}) {
        ASSERT_TRUE(QDir(root).mkpath(folder));
    }
    const struct {
        const char* executable;
        const char* helpers;
        const char* data;
        bool installed;
    } cases[] = {
        {"build/bin/orvex", "build/bin/", "build/bin/", false},
        {"build/bin/register.dat", "build/bin/", "build/bin/", false},
        {"opt/orvex/bin/orvex", "opt/orvex/lib/orvex/", "opt/orvex/share/orvex/", true},
        {"opt/orvex/bin/orvex-cli", "opt/orvex/lib/orvex/", "opt/orvex/share/orvex/", true},
        {"opt/orvex/lib/orvex/register.dat", "opt/orvex/lib/orvex/", "opt/orvex/share/orvex/",
         true},
        // A tree that lost its helpers still names them where they belong.
        {"half/bin/orvex", "half/lib/orvex/", "half/share/orvex/", true},
        // A folder named bin with nothing of ours beside it is a build tree.
        {"bare/bin/orvex", "bare/bin/", "bare/bin/", false},
    };
    for (const auto& c : cases) {
        const platform::ProgramFiles found =
            platform::programFilesOf((root + '/' + c.executable).toStdString());
        EXPECT_EQ(found.helpers, (root + '/' + c.helpers).toStdString()) << c.executable;
        EXPECT_EQ(found.data, (root + '/' + c.data).toStdString()) << c.executable;
        EXPECT_EQ(found.installed, c.installed) << c.executable;
    }
    EXPECT_EQ(platform::programFilesOf("").helpers, "./");
}

TEST(ProgramPaths, TheRunningTestFindsItsOwnFolderAndOnlyInstalledTreesAdviseReinstalling) {
    const platform::ProgramFolders folders = platform::programFolders();
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath() + "/";
    EXPECT_EQ(folders.helpers, own);
    EXPECT_EQ(folders.data, own);
    EXPECT_TRUE(folders.restoreAdvice().isEmpty());
    platform::ProgramFolders installed = platform::ProgramFolders::inOne("/x");
    EXPECT_EQ(installed.data, "/x/");
    installed.installed = true;
    EXPECT_TRUE(installed.restoreAdvice().contains("einstall"));
}

}  // namespace
