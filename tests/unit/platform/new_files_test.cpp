#include "platform/new_files.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "../../support/qt_gtest.h"
#include "platform/file_system.h"

namespace {

class NewFilesTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    bool write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    QTemporaryDir dir_;
};

// Whatever stands at the name (a file, a folder, a link, a dangling one) stays as it was, and
// so does the file that was to move.
TEST_F(NewFilesTest, MovesNeverReplaceAnything) {
    using platform::MoveResult;
    const struct {
        const char* target;
        const char* make;  // what stands there before
        MoveResult result;
        const char* readAfter;
    } cases[] = {
        {"free.mp4", "", MoveResult::Moved, "new"},
        {"file.mp4", "file", MoveResult::Taken, "old"},
        {"folder.mp4", "folder", MoveResult::Taken, "<none>"},
        {"link.mp4", "link", MoveResult::Taken, "old"},
        {"dangling.mp4", "dangling", MoveResult::Taken, "<none>"},
    };
    ASSERT_TRUE(write("old", "old"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        ASSERT_TRUE(write("part", "new"));
        const QString make = c.make;
        if (make == "file") {
            ASSERT_TRUE(write(c.target, "old"));
        } else if (make == "folder") {
            ASSERT_TRUE(QDir(dir_.path()).mkdir(c.target));
        } else if (!make.isEmpty()) {
            ASSERT_TRUE(QFile::link(path(make == "link" ? "old" : "gone"), path(c.target)));
        }
        QString error;
        EXPECT_EQ(platform::moveWithoutReplacing(path("part"), path(c.target), &error), c.result);
        const bool moved = c.result == MoveResult::Moved;
        EXPECT_EQ(read(c.target), c.readAfter);
        EXPECT_EQ(QFileInfo::exists(path("part")), !moved);
        EXPECT_EQ(QFileInfo(path(c.target)).isSymLink(), make == "link" || make == "dangling");
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    }
    QString error;
    EXPECT_EQ(platform::moveWithoutReplacing(path("missing"), path("any.mp4"), &error),
              MoveResult::Failed);
    EXPECT_TRUE(error.contains(path("missing"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("any.mp4")));
}

TEST_F(NewFilesTest, UniqueFilesAreNewEmptyAndOpenToOthersAsAnyNewFile) {
    ASSERT_TRUE(write("plain", ""));
    QStringList names;
    for (int i = 0; i < 20; ++i) {
        QString error;
        const QString name = platform::createUniqueFile(path(".clip.part-"), ".mp4", &error);
        ASSERT_FALSE(name.isEmpty()) << error.toStdString();
        EXPECT_TRUE(QFileInfo(name).fileName().contains(
            QRegularExpression("^\\.clip\\.part-[A-Za-z0-9]{6}\\.mp4$")))
            << name.toStdString();
        EXPECT_EQ(QFileInfo(name).size(), 0);
        EXPECT_EQ(QFileInfo(name).permissions(), QFileInfo(path("plain")).permissions());
        names << name;
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 20);

    QString error;
    EXPECT_TRUE(platform::createUniqueFile(path("no/such/folder/x"), "", &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

// Both variants: a claim keeps its file from a cleanup for as long as it lives, and syncing
// needs the file.
TEST_F(NewFilesTest, AClaimKeepsItsFileForAsLongAsItLives) {
    ASSERT_TRUE(write("part", ""));
    {
        const auto claim = platform::claimFile(path("part"));
        ASSERT_NE(claim, nullptr);
        EXPECT_EQ(platform::claimFile(path("part")), nullptr) << "held already";
        EXPECT_FALSE(platform::removeIfUnclaimed(path("part")));
        QString error;
        EXPECT_TRUE(claim->sync(&error)) << error.toStdString();
    }
    EXPECT_TRUE(platform::removeIfUnclaimed(path("part")) || !platform::claimsAreSystemLocks());
    EXPECT_EQ(platform::claimFile(path("missing")), nullptr);
    QString error;
    EXPECT_FALSE(platform::syncFile(path("missing"), &error));
    EXPECT_TRUE(error.contains(path("missing"))) << error.toStdString();
}

}  // namespace
