#include "core/profiles/profile_file.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class ProfileFileTest : public ::testing::Test {
  protected:
    QString write(const QByteArray& contents) {
        const QString path = dir_.filePath("profiles.pop");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(ProfileFileTest, RecordNIsLines4NMinus3To4N) {
    QByteArray text;
    for (int line = 1; line <= 20; ++line) {
        text += "line" + QByteArray::number(line) + " x" + "\n";
    }
    const QString path = write(text);
    QString error;
    const auto record = readProfileRecord(path, 3, &error);
    ASSERT_TRUE(record) << error.toStdString();
    EXPECT_EQ(record->number, 3);
    EXPECT_EQ(record->titleLine, "line9 x");
    EXPECT_EQ(record->sizeChoices, QStringList({"line10"}));  // the one-character "x" is dropped
    EXPECT_EQ(record->rateLine, "line11 x");
    EXPECT_EQ(record->codecOptions, "line12 x");
}

TEST_F(ProfileFileTest, CrLfLineEndsAreAccepted) {
    const QString path = write("t\r\n320x240 640x480\r\n150 250\r\n -vcodec mpeg4 \r\n");
    const auto record = readProfileRecord(path, 1);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sizeChoices, QStringList({"320x240", "640x480"}));
    EXPECT_EQ(record->rateLine, "150 250");
    EXPECT_EQ(record->codecOptions, " -vcodec mpeg4 ");
}

TEST_F(ProfileFileTest, AFileEndingEarlyGivesOnlyTheLinesItReached) {
    const QString path = write("a\nb\nc\nd\ntitle2\n320x240 640x480\n");
    const auto record = readProfileRecord(path, 2);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->titleLine, "title2");
    EXPECT_EQ(record->sizeChoices, QStringList({"320x240", "640x480"}));
    EXPECT_FALSE(record->rateLine);
    EXPECT_FALSE(record->codecOptions);

    const auto beyond = readProfileRecord(path, 131);
    ASSERT_TRUE(beyond);
    EXPECT_FALSE(beyond->titleLine);
    EXPECT_FALSE(beyond->sizeChoices);
}

TEST_F(ProfileFileTest, LastLineWithoutLineEndIsRead) {
    const QString path = write("t\n\n*\n -acodec mp3");
    const auto record = readProfileRecord(path, 1);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sizeChoices, QStringList());
    EXPECT_EQ(record->rateLine, "*");
    EXPECT_EQ(record->codecOptions, " -acodec mp3");
}

TEST_F(ProfileFileTest, MissingFileOrBadNumberIsAnErrorWithAMessage) {
    QString error;
    const QString missing = dir_.filePath("nothere.pop");
    EXPECT_FALSE(readProfileRecord(missing, 1, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();

    const QString path = write("t\n320x240\n100\n-x\n");
    for (int bad : {0, -3, 132}) {
        error.clear();
        EXPECT_FALSE(readProfileRecord(path, bad, &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
}

TEST_F(ProfileFileTest, AFolderInPlaceOfTheFileIsAnError) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("profiles.pop"));
    QString error;
    EXPECT_FALSE(readProfileRecord(dir_.filePath("profiles.pop"), 1, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ProfileListSplitTest, SingleSpacesSeparateAndAnEmptyEntryEndsTheList) {
    struct Case {
        const char* line;
        QStringList entries;
    };
    const Case cases[] = {
        {"320x240 640x480", {"320x240", "640x480"}},
        {"320x240  640x480", {"320x240"}},
        {" 320x240 640x480", {}},
        {"320x240 640x480 ", {"320x240", "640x480"}},
        {"320x240 640x480 9", {"320x240", "640x480"}},
        {"9 320x240", {"9", "320x240"}},  // only a final one-character entry is dropped
        {"320x240(QVGA) 176x144", {"320x240(QVGA)", "176x144"}},
        {"", {}},
        {"*", {}},
        {"64", {"64"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitProfileList(c.line), c.entries) << c.line;
    }
}

TEST(ProfileRateLineTest, FirstValueIsTheLowestQuality) {
    const auto five = videoRatesOfRateLine("150 250 400 600 800");
    EXPECT_EQ(five[0], "800");
    EXPECT_EQ(five[1], "600");
    EXPECT_EQ(five[2], "400");
    EXPECT_EQ(five[3], "250");
    EXPECT_EQ(five[4], "150");

    const auto three = videoRatesOfRateLine("150 250 400");
    EXPECT_FALSE(three[0]);
    EXPECT_FALSE(three[1]);
    EXPECT_EQ(three[2], "400");
    EXPECT_EQ(three[4], "150");

    const auto seven = videoRatesOfRateLine("1 20 30 40 50 60 70");
    EXPECT_EQ(seven[4], "1");  // not the last entry, so kept
    EXPECT_EQ(seven[0], "50");
}

}  // namespace
