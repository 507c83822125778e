#include "core/shell/settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/program_paths.h"

namespace {

TEST(SettingsTest, NameDefaultTakesTheFirstWordInTableOrder) {
    struct Case {
        const char* name;
        int profile;
    };
    const Case cases[] = {
        {"Converter.exe", 1},
        {"AviMp4Converter", 102},
        {"format-converter", 6},
        {"psp-maker", 53},
        {"MPEG4 tool", 110},
        {"mp4conv", 118},
        {"mkvtool", 125},
        {"ipodtool", 27},
        {"iphone-video", 36},
        {"gphone", 41},
        {"WMV", 7},
        {"orvex-flv", 11},
        {"orvex-cli", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Settings::nameDefaultProfile(QLatin1String(c.name)), c.profile) << c.name;
    }
}

TEST(SettingsTest, MissingFileGivesTheDefaults) {
    QTemporaryDir dir;
    const Settings s(platform::IniFile(dir.filePath(QStringLiteral("x.ini"))));
    EXPECT_EQ(s.outputPath(), platform::defaultOutputFolder());
    EXPECT_TRUE(s.outputPath().endsWith(QLatin1Char('/')));
    EXPECT_EQ(s.selectedProfile(QStringLiteral("avi-mp4")), 102);
    EXPECT_EQ(s.category(), 1);
    EXPECT_EQ(s.finishAction(), 0);
    EXPECT_TRUE(s.videoFirstPage());
    EXPECT_TRUE(s.audioFirstPage());
    EXPECT_FALSE(s.stretch());
}

TEST(SettingsTest, SavedValuesWinAndBadOnesGiveDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[Output]\npath=/data/out/\n[profiles]\nselcetsubindex=53\nFinishSelcet=two\n"
        "selcetindex=4\n[plane]\nvideo=0\naudio=7\n[picture]\nstretch=yes\n");
    f.close();
    const Settings s{platform::IniFile(path)};
    EXPECT_EQ(s.outputPath(), "/data/out/");
    EXPECT_EQ(s.selectedProfile(QStringLiteral("avi")), 53);
    EXPECT_EQ(s.finishAction(), 0);
    EXPECT_EQ(s.category(), 4);
    EXPECT_FALSE(s.videoFirstPage());
    EXPECT_TRUE(s.audioFirstPage());
    EXPECT_FALSE(s.stretch());
}

TEST(SettingsTest, SaveWritesWhatLoadReads) {
    QTemporaryDir dir;
    Settings s(platform::IniFile(dir.filePath(QStringLiteral("x.ini"))));
    ASSERT_TRUE(s.save(QStringLiteral("/o/"), 118, 3, 2, false, true, true));
    EXPECT_EQ(s.outputPath(), "/o/");
    EXPECT_EQ(s.selectedProfile(QStringLiteral("avi")), 118);
    EXPECT_EQ(s.category(), 3);
    EXPECT_EQ(s.finishAction(), 2);
    EXPECT_FALSE(s.videoFirstPage());
    EXPECT_TRUE(s.audioFirstPage());
    EXPECT_TRUE(s.stretch());
}

}  // namespace
