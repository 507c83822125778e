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
    EXPECT_EQ(s.jobsAtOnce(), 0) << "Automatic";
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
    const QStringList said = s.unusableValues();
    ASSERT_EQ(said.size(), 3) << said.join('\n').toStdString();
    EXPECT_EQ(said[0], path +
                           " holds an unusable FinishSelcet in [profiles] (\"two\"); the "
                           "default is used instead.");
    EXPECT_TRUE(said[1].contains("unusable audio in [plane] (\"7\")"));
    EXPECT_TRUE(said[2].contains("unusable stretch in [picture] (\"yes\")"));
}

TEST(SettingsTest, DamagedFilesKeepWhatCanBeReadAndNameWhatCannot) {
    const struct {
        QByteArray text;
        int profile;           // for a program named "orvex" (default 1)
        const char* unusable;  // the key said to be unusable, or nothing
    } cases[] = {
        {"\xEF\xBB\xBF[profiles]\nselcetsubindex=17\n", 17, nullptr},  // saved by Notepad
        {"[profiles]\rselcetsubindex=17\r", 17, nullptr},              // old Mac line ends
        {QByteArrayLiteral("\x01\xfe\0junk\n[profiles]\nselcetsubindex=17\n"), 17, nullptr},
        {"[profiles]\nselcetsubindex=17 ; mp3\n", 1, "selcetsubindex"},
        {"[profiles]\nselcetsubindex=99999999999999999999\n", 1, "selcetsubindex"},
        {"[profiles]\nselcetsubindex=-3\n", 1, "selcetsubindex"},
        {"[profiles]\nselcetsubindex=132\n", 1, "selcetsubindex"},
        {"[profiles]\nselcetsubindex=\x01\xff\n", 1, "selcetsubindex"},
        {"[profiles]\nselcetsubindex=17\nselcetindex=15\n", 17, "selcetindex"},
        {"[profiles]\nselcetsubindex=17\n[convert]\njobs=-1\n", 17, "jobs"},
        {"[profiles]\nselcetsubindex=17\n[convert]\njobs=auto\n", 17, "jobs"},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.ini"));
    for (const auto& c : cases) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.text);
        f.close();
        const Settings s{platform::IniFile(path)};
        EXPECT_EQ(s.selectedProfile(QStringLiteral("orvex")), c.profile) << c.text.toStdString();
        const QStringList said = s.unusableValues();
        EXPECT_EQ(said.size(), c.unusable ? 1 : 0) << c.text.toStdString();
        if (c.unusable && !said.isEmpty()) {
            EXPECT_TRUE(said[0].contains(QStringLiteral(" %1 in ").arg(c.unusable)));
        }
    }
}

TEST(SettingsTest, SaveWritesWhatLoadReads) {
    QTemporaryDir dir;
    Settings s(platform::IniFile(dir.filePath(QStringLiteral("x.ini"))));
    ASSERT_TRUE(s.save(QStringLiteral("/o/"), 118, 3, 2, false, true, true, 3));
    EXPECT_EQ(s.outputPath(), "/o/");
    EXPECT_EQ(s.selectedProfile(QStringLiteral("avi")), 118);
    EXPECT_EQ(s.category(), 3);
    EXPECT_EQ(s.finishAction(), 2);
    EXPECT_FALSE(s.videoFirstPage());
    EXPECT_TRUE(s.audioFirstPage());
    EXPECT_EQ(s.jobsAtOnce(), 3);
    EXPECT_TRUE(s.stretch());
}

}  // namespace
