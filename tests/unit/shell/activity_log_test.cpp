#include "core/shell/activity_log.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QStringList fileLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    for (QString& line : lines) {
        line = line.mid(13).trimmed();  // without the time
    }
    return lines.mid(1);  // without the header
}

using C = ActivityLog::Category;

TEST(ActivityLogTest, JobsThatRunAtOnceNeverInterleaveInTheFile) {
    QTemporaryDir dir;
    ActivityLog log("orvex-cli");
    log.setPath(dir.filePath("run.log"));
    QStringList live;
    QObject::connect(&log, &ActivityLog::lineAdded,
                     [&live](const QString& line) { live << line.mid(13).trimmed(); });
    log.write(C::Run, "start");
    const auto a = log.beginSection(C::Engine, "job A");
    const auto b = log.beginSection(C::Engine, "job B");
    log.write(b, C::Engine, "B1");  // waits for A, but is shown at once
    log.write(a, C::Engine, "A1");
    const auto c = log.beginSection(C::Engine, "job C");
    log.write(c, C::Engine, "C1");
    log.endSection(c);  // ended before its turn: written whole in its turn
    log.write(b, C::Engine, "B2");
    log.write(C::Run, "between");
    log.endSection(a);  // B has the file now; C follows B
    log.write(b, C::Engine, "B3");
    log.endSection(b);
    log.write(C::Run, "end");
    EXPECT_EQ(fileLines(log.path()),
              (QStringList{"run      start", "engine   job A", "engine   A1", "run      between",
                           "engine   job B", "engine   B1", "engine   B2", "engine   B3",
                           "engine   job C", "engine   C1", "run      end"}));
    EXPECT_EQ(live.size(), 11);
    EXPECT_EQ(live[3], "engine   B1") << "shown when it came";
    EXPECT_EQ(log.lines().size(), 11);
}

TEST(ActivityLogTest, KeepsTheNewestFilesOfItsFolderAndNeverWritesBesideTheProgram) {
    QTemporaryDir state;
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    const QString folder = ActivityLog::folder();
    EXPECT_EQ(folder, state.path() + "/orvex/logs/");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (int i = 0; i < ActivityLog::kKeptFiles + 5; ++i) {
        QFile old(folder + QString("orvex-old-%1.log").arg(i, 2, 10, QChar('0')));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.setFileTime(QDateTime::currentDateTime().addSecs(i - 100),
                        QFileDevice::FileModificationTime);
    }
    {
        ActivityLog log("orvex");
        EXPECT_TRUE(log.path().startsWith(folder + "orvex-"));
        log.write(C::Run, "a line");
        const QStringList left = QDir(folder).entryList({"*.log"}, QDir::Files, QDir::Name);
        EXPECT_EQ(left.size(), ActivityLog::kKeptFiles);
        EXPECT_FALSE(left.contains("orvex-old-05.log")) << "the oldest go";
        EXPECT_TRUE(left.contains("orvex-old-24.log"));
    }
    // A file that cannot be made: said once, and the lines are still kept.
    ActivityLog blocked("orvex");
    QFile file(state.filePath("a file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    blocked.setPath(state.filePath("a file/run.log"));
    int said = 0;
    QObject::connect(&blocked, &ActivityLog::problem, [&said] { ++said; });
    blocked.write(C::Run, "one");
    blocked.write(C::Run, "two");
    EXPECT_EQ(said, 1);
    EXPECT_FALSE(blocked.fileProblem().isEmpty());
    EXPECT_EQ(blocked.lines().size(), 2);
    qputenv("XDG_STATE_HOME", saved);
}

}  // namespace
