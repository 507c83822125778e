#include "core/profiles/profile_file.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A well-formed profiles.pop whose record N reads "title N", sizes, rates, " -codec N".
QByteArray wholeFile(const char* lineEnd = "\n") {
    QByteArray text;
    for (int n = 1; n <= 131; ++n) {
        const QByteArray number = QByteArray::number(n);
        const QByteArray rates = n % 2 ? "150 250 400 600 800" : "*";
        const QByteArray sizes = n % 2 ? "320x240(QVGA) 640x480 9" : "";
        for (const QByteArray& line : {"title " + number, sizes, rates, " -codec " + number}) {
            text += line + lineEnd;
        }
    }
    return text;
}

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

TEST_F(ProfileFileTest, RecordNIsLines4NMinus3To4NWithEitherLineEnd) {
    QByteArray withoutLastEnd = wholeFile();
    withoutLastEnd.chop(1);
    for (const QByteArray& text : {wholeFile(), wholeFile("\r\n"), withoutLastEnd}) {
        const QString path = write(text);
        QString error;
        const auto record = readProfileRecord(path, 3, &error);
        ASSERT_TRUE(record) << error.toStdString();
        EXPECT_EQ(record->number, 3);
        EXPECT_EQ(record->titleLine, "title 3");
        // The one-character final entry is dropped.
        EXPECT_EQ(record->sizeChoices, QStringList({"320x240(QVGA)", "640x480"}));
        EXPECT_EQ(record->rateLine, "150 250 400 600 800");
        EXPECT_EQ(record->codecOptions, " -codec 3");
        const auto last = readProfileRecord(path, 131, &error);
        ASSERT_TRUE(last) << error.toStdString();
        EXPECT_EQ(last->codecOptions, " -codec 131");
        const auto audio = readProfileRecord(path, 130, &error);
        ASSERT_TRUE(audio) << error.toStdString();
        EXPECT_EQ(audio->sizeChoices, QStringList());
        EXPECT_EQ(audio->rateLine, "*");
    }
}

// Every damaged shape is refused for every record, naming where the damage is; no record of a
// damaged file reaches the encoder.
TEST_F(ProfileFileTest, ADamagedOrTruncatedFileIsAnErrorNamingTheRecord) {
    const QByteArray good = wholeFile();
    QByteArray randomBytes;
    quint32 x = 12345;
    for (int i = 0; i < 40000; ++i) {
        x = x * 1103515245 + 12345;
        randomBytes += static_cast<char>(x >> 16);
    }
    auto replaceLine = [&good](int lineNumber, const QByteArray& with) {
        QList<QByteArray> lines = good.split('\n');
        lines[lineNumber - 1] = with;
        return lines.join('\n');
    };
    struct Case {
        const char* what;
        QByteArray text;
        const char* says;
    };
    const Case cases[] = {
        {"empty", "", "empty"},
        {"random bytes", randomBytes, "record 1 "},
        {"cut inside record 57", good.left(good.indexOf("title 57") + 20), "record 57"},
        {"cut after a whole record", good.left(good.indexOf("title 100")), "record 99"},
        {"one 10 MB line", QByteArray(10 * 1024 * 1024, 'a'), "bytes long"},
        {"an overlong line", replaceLine(9, QByteArray(5000, 'a')), "record 3 (line 9)"},
        {"a size line of other things", replaceLine(10, "320x240 -vcodec"), "record 3 (line 10)"},
        {"a size line of symbols", replaceLine(10, "320x240 ($)"), "record 3 (line 10)"},
        {"a rate line of words", replaceLine(11, "fast slow"), "record 3 (line 11)"},
        {"a control byte in the codec line", replaceLine(12, " -vcodec\x01mpeg4"),
         "record 3 (line 12)"},
        {"a NUL", replaceLine(524, QByteArray(" -codec\0", 8)), "record 131 (line 524)"},
        {"text after the last record", good + "title 132\n", "line 525"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = write(c.text);
        QString error;
        for (int n : {1, 2, 131}) {
            EXPECT_FALSE(readProfileRecord(path, n, &error)) << n;
        }
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
        EXPECT_TRUE(error.contains("damaged")) << error.toStdString();
        EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
    }
    // Blank lines after the last record are harmless.
    EXPECT_TRUE(readProfileRecord(write(good + "\r\n\n"), 131));
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
