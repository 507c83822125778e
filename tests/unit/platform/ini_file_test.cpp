#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <csignal>

#include "../../support/qt_gtest.h"

namespace {

using platform::IniFile;

QByteArray contentsOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(data);
}

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString pathOf(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(IniFileTest, MissingFileGivesDefaults) {
    const IniFile ini(pathOf("absent.ini"));
    EXPECT_EQ(ini.readString("set", "profile", "dflt"), "dflt");
    EXPECT_EQ(ini.readInt("set", "profile", 42), 42);
}

TEST_F(IniFileTest, ReadsByPrivateProfileRules) {
    writeFile(pathOf("a.ini"),
              "; a comment\n"
              "junk line without equals\n"
              "[Other]\n"
              "key=other\n"
              "[ SET ]\r\n"
              "  Profile  =   17  \r\n"
              "profile=99\r\n"
              "Name= two words \n"
              "empty=\n"
              "quoted=\"q\"\n"
              "bad=12abc\n"
              "neg=-5\n"
              "[set]\n"
              "late=in second section of the same name\n");
    const IniFile ini(pathOf("a.ini"));
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"set", "profile", "17"},      // case-insensitive names, trimmed, first match wins
        {"Set", "NAME", "two words"},  // inner blanks kept
        {"set", "empty", ""},          // present but empty is not the default
        {"set", "quoted", "q"},        // one pair of surrounding quotes dropped
        {"other", "KEY", "other"},     //
        {"set", "key", "<d>"},         // keys belong to their own section
        {"set", "late", "in second section of the same name"},  // sections of a name join
        {"nosuch", "profile", "<d>"},                           //
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ini.readString(c.section, c.key, "<d>"), QString::fromUtf8(c.expected))
            << c.section << "/" << c.key;
    }
    EXPECT_EQ(ini.readInt("set", "profile", 0), 17);
    EXPECT_EQ(ini.readInt("set", "neg", 0), -5);
    EXPECT_EQ(ini.readInt("set", "bad", 7), 7);
    EXPECT_EQ(ini.readInt("set", "name", 7), 7);
    EXPECT_EQ(ini.readInt("set", "empty", 7), 7);
}

TEST_F(IniFileTest, ReadsTheFileAfreshAtEveryCall) {
    IniFile ini(pathOf("b.ini"));
    writeFile(ini.path(), "[s]\nk=1\n");
    EXPECT_EQ(ini.readInt("s", "k", 0), 1);
    writeFile(ini.path(), "[s]\nk=2\n");
    EXPECT_EQ(ini.readInt("s", "k", 0), 2);
}

TEST_F(IniFileTest, WriteReplacesOnlyItsLineAndKeepsTheRestByteForByte) {
    const QByteArray before =
        "; keep me\r\n"
        "odd line\r\n"
        "[Set]\r\n"
        "Profile = 3\r\n"
        "other =  spaced  \r\n"
        "\r\n"
        "[next]\r\n"
        "profile=5";  // no final line break
    IniFile ini(pathOf("c.ini"));
    writeFile(ini.path(), before);
    ASSERT_TRUE(ini.writeInt("SET", "profile", 118));
    QByteArray expected = before;
    expected.replace("Profile = 3", "profile=118");
    EXPECT_EQ(contentsOf(ini.path()), expected);
    EXPECT_EQ(ini.readInt("next", "profile", 0), 5);
}

TEST_F(IniFileTest, WriteAddsKeysAndSectionsWhereTheyBelong) {
    IniFile ini(pathOf("d.ini"));
    writeFile(ini.path(), "[a]\nx=1\n\n[b]\ny=2");
    ASSERT_TRUE(ini.writeString("a", "new", "v"));
    ASSERT_TRUE(ini.writeString("c", "z", "3"));
    EXPECT_EQ(contentsOf(ini.path()), QByteArray("[a]\nx=1\nnew=v\n\n[b]\ny=2\n[c]\nz=3\n"));
    EXPECT_EQ(ini.readString("a", "new", ""), "v");
    EXPECT_EQ(ini.readString("b", "y", ""), "2");
    EXPECT_EQ(ini.readInt("c", "z", 0), 3);
}

TEST_F(IniFileTest, WriteCreatesTheFolderAndTheFile) {
    IniFile ini(pathOf("deep/er/e.ini"));
    ASSERT_TRUE(ini.writeString("set", "folder", "/home/u/My Videos"));
    EXPECT_EQ(ini.readString("set", "folder", ""), "/home/u/My Videos");
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFileWhole) {
    IniFile ini(pathOf("f.ini"));
    writeFile(ini.path(), "[s]\nk=old\n");
    // A file size limit makes the write fail halfway, like a full disk; it binds root too.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    auto* oldHandler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = ini.writeString("s", "k", QString(500, QLatin1Char('n')));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(contentsOf(ini.path()), QByteArray("[s]\nk=old\n"));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file left behind";
}

TEST_F(IniFileTest, WriteIntoAFileWhereAFolderShouldBeFails) {
    writeFile(pathOf("plain"), "x");
    IniFile ini(pathOf("plain/g.ini"));
    EXPECT_FALSE(ini.writeInt("s", "k", 1));
    EXPECT_EQ(ini.readInt("s", "k", 9), 9);
}

TEST(IniFileFolder, FollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/cfg-test");
    EXPECT_EQ(IniFile::defaultFolder(), "/tmp/cfg-test/orvex/");
    EXPECT_EQ(IniFile::inDefaultFolder("pro orvex.ini").path(),
              "/tmp/cfg-test/orvex/pro orvex.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(IniFile::defaultFolder(), QDir::homePath() + "/.config/orvex/");
    if (!saved.isNull()) {
        qputenv("XDG_CONFIG_HOME", saved);
    }
}

}  // namespace
