#include "core/sources/file_sources.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "../../support/fake_user_interface.h"
#include "../../support/test_media.h"
#include "core/engine/app_state.h"
#include "core/engine/job_list.h"
#include "core/profiles/profile_selection.h"
#include "core/shell/command_guards.h"

namespace {

// The "media" files of these tests are texts that a fake encoder prints back as its probe
// output, so every probe answer can be written down exactly.
class FileSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        encoder_ = dir_.filePath(QStringLiteral("register.dat"));
        writeFile(encoder_, "#!/bin/sh\n[ \"$1\" = -i ] || exit 9\ncat \"$2\"\nexit 1\n");
        QFile::setPermissions(encoder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        state_.programFileName = QStringLiteral("orvex");
        probe_ = std::make_unique<MediaProbe>(state_, encoder_, dir_.path());
        selection_ = std::make_unique<ProfileSelection>(
            state_, jobs_, platform::IniFile(dir_.filePath(QStringLiteral("pro orvex.ini"))),
            orvex::test::profilesPopPath());
        sources_ = std::make_unique<FileSources>(state_, jobs_, *selection_, *probe_, ui_);
    }

    static void writeFile(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    // A source whose probe prints these lines.
    QString source(const QString& name, const QByteArray& probeText) {
        const QString path = dir_.filePath(name);
        writeFile(path, probeText);
        return path;
    }

    static QByteArray probeText(const char* total, const char* video, const char* audio,
                                const char* size = "320x240") {
        QByteArray t = "  Duration: 00:01:00.00, start: 0.000000";
        if (total != nullptr) {
            t += QByteArray(", bitrate: ") + total + " kb/s";
        }
        t += "\n  Stream #0:0: Video: mpeg4, yuv420p, " + QByteArray(size) + ", 25 fps";
        if (video != nullptr) {
            t += QByteArray(", ") + video + " kb/s";
        }
        t += "\n  Stream #0:1: Audio: mp3, 44100 Hz, stereo";
        if (audio != nullptr) {
            t += QByteArray(", ") + audio + " kb/s";
        }
        return t + "\nAt least one output file must be specified\n";
    }

    QTemporaryDir dir_;
    QString encoder_;
    AppState state_;
    JobList jobs_;
    orvex::test::FakeUserInterface ui_;
    std::unique_ptr<MediaProbe> probe_;
    std::unique_ptr<ProfileSelection> selection_;
    std::unique_ptr<FileSources> sources_;
};

TEST_F(FileSourcesTest, FillsMissingRatesFromTheTotal) {
    struct Case {
        const char* total;
        const char* video;
        const char* audio;
        const char* videoKbps;
        const char* audioKbps;
    };
    const Case cases[] = {
        {"1152", nullptr, nullptr, "1152", "128"},  // 1152 - 1152 = 0 -> 128
        {"1152", "1000", nullptr, "1000", "152"},
        {"1152", nullptr, "128", "1024", "128"},
        {"1152", "900", "96", "900", "96"},
        {"100", nullptr, "128", "768", "128"},   // a negative difference is no rate
        {"1152", "N/A", nullptr, "768", "128"},  // a rate that is not a number: fallbacks
    };
    for (const Case& c : cases) {
        const QString path =
            source(QStringLiteral("clip.avi"), probeText(c.total, c.video, c.audio));
        ASSERT_EQ(sources_->addFile(path), std::nullopt);
        const int row = jobs_.rowCount() - 1;
        EXPECT_EQ(jobs_.jobInfo(row).videoKbps, QLatin1String(c.videoKbps)) << c.total;
        EXPECT_EQ(jobs_.jobInfo(row).audioKbps, QLatin1String(c.audioKbps)) << c.total;
        EXPECT_EQ(state_.currentJob, row);
    }
}

TEST_F(FileSourcesTest, FillsTheRowAndItsRecord) {
    const QString path =
        source(QStringLiteral("my.holiday.clip.avi"), probeText("1152", "1000", "128", "no size"));
    ASSERT_EQ(sources_->addFile(path), std::nullopt);
    ASSERT_EQ(jobs_.rowCount(), 1);
    EXPECT_EQ(jobs_.caption(0), "my.holiday.clip");
    EXPECT_EQ(jobs_.jobInfo(0).source, path);
    EXPECT_EQ(jobs_.jobInfo(0).dimensions, "320x240");  // no size found
    EXPECT_EQ(jobs_.jobInfo(0).duration, "00:01:00");
    EXPECT_EQ(jobs_.subItem(0, JobList::SizeColumn), "320x240");
    EXPECT_EQ(jobs_.subItem(0, JobList::TimeColumn), "00:01:00");
    EXPECT_EQ(jobs_.status(0), "Status");
}

TEST_F(FileSourcesTest, SkipsFilesWithoutAnOverallRateAndSaysWhy) {
    const QString noRate = source(QStringLiteral("a.avi"), probeText(nullptr, "10", "10"));
    const QString letters = source(QStringLiteral("b.avi"), probeText("abc", "10", "10"));
    const QString broken = source(QStringLiteral("c.avi"), "c.avi: Invalid data found\n");
    const QString good = source(QStringLiteral("d.avi"), probeText("500", nullptr, nullptr));
    const FileSources::AddReport report = sources_->addFiles(
        {noRate, letters, broken, dir_.filePath(QStringLiteral("gone.avi")), good});
    EXPECT_EQ(report.added, 1);
    ASSERT_EQ(report.skipped.size(), 4);
    EXPECT_TRUE(report.skipped[2].reason.contains(QLatin1String("Invalid data found")));
    EXPECT_EQ(report.skipped[3].reason, "no such file");
    EXPECT_EQ(jobs_.rowCount(), 1);
    EXPECT_EQ(jobs_.caption(0), "d");
    EXPECT_TRUE(jobs_.isSelected(0));
    EXPECT_TRUE(jobs_.isVisible());
    EXPECT_TRUE(ui_.warnings.isEmpty());
}

TEST_F(FileSourcesTest, AnEncoderThatCannotStartAddsNothing) {
    MediaProbe missing(state_, dir_.filePath(QStringLiteral("no-encoder")), dir_.path());
    FileSources sources(state_, jobs_, *selection_, missing, ui_);
    const QString path = source(QStringLiteral("a.avi"), probeText("500", nullptr, nullptr));
    const std::optional<QString> reason = sources.addFile(path);
    ASSERT_TRUE(reason.has_value());
    EXPECT_TRUE(jobs_.isEmpty());
    EXPECT_FALSE(state_.probing);
}

TEST_F(FileSourcesTest, FolderTakesKnownExtensionsInWindowsNameOrder) {
    QDir(dir_.path()).mkdir(QStringLiteral("f"));
    QDir(dir_.path()).mkdir(QStringLiteral("f/sub.avi"));  // a folder is never taken
    const QByteArray text = probeText("500", nullptr, nullptr);
    for (const char* name : {"b.AVI", "a.mp4", "C.wmv", "movie.mov", "clip.mkv", "x.ts",
                             "notes.txt", ".hidden.flv", "noext", "d.RmVb", "sub/inner.avi"}) {
        const QString path = dir_.filePath(QStringLiteral("f/") + QLatin1String(name));
        QDir().mkpath(QFileInfo(path).path());
        writeFile(path, text);
    }
    const QStringList entries = FileSources::folderEntries(dir_.filePath(QStringLiteral("f")));
    QStringList names;
    for (const QString& e : entries) {
        names << QFileInfo(e).fileName();
    }
    EXPECT_EQ(names, (QStringList{".hidden.flv", "a.mp4", "b.AVI", "C.wmv", "d.RmVb"}));

    const FileSources::AddReport report = sources_->addFolder(dir_.filePath(QStringLiteral("f")));
    EXPECT_EQ(report.added, 5);
    EXPECT_EQ(jobs_.caption(1), "a");
}

TEST_F(FileSourcesTest, FolderOfMovFilesAddsNothing) {
    QDir(dir_.path()).mkdir(QStringLiteral("m"));
    writeFile(dir_.filePath(QStringLiteral("m/a.mov")), probeText("500", nullptr, nullptr));
    EXPECT_EQ(sources_->addFolder(dir_.filePath(QStringLiteral("m"))).added, 0);
    EXPECT_TRUE(jobs_.isEmpty());
    // Add Files takes the same file.
    EXPECT_EQ(sources_->addFiles({dir_.filePath(QStringLiteral("m/a.mov"))}).added, 1);
}

TEST_F(FileSourcesTest, RemoveKeepsRecordsWithTheirRowsAndSelectsTheNext) {
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(sources_->addFile(
                      source(QStringLiteral("r%1.avi").arg(i),
                             probeText(QByteArray::number(100 + i).constData(), nullptr, nullptr))),
                  std::nullopt);
    }
    jobs_.setSelected(1, true);
    jobs_.setSelected(3, true);
    sources_->remove();
    ASSERT_EQ(jobs_.rowCount(), 3);
    const QStringList expected{"r0", "r2", "r4"};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(jobs_.caption(row), expected[row]);
        EXPECT_EQ(FileSources::captionOf(jobs_.jobInfo(row).source), expected[row]);
    }
    EXPECT_TRUE(jobs_.isSelected(2));
    EXPECT_FALSE(jobs_.isSelected(0));

    // Removing the last row selects the row that is now last.
    for (int row = 0; row < 3; ++row) {
        jobs_.setSelected(row, row == 2);
    }
    sources_->remove();
    ASSERT_EQ(jobs_.rowCount(), 2);
    EXPECT_TRUE(jobs_.isSelected(1));
}

TEST_F(FileSourcesTest, GuardsRefuseInTheirOrder) {
    ASSERT_EQ(
        sources_->addFile(source(QStringLiteral("a.avi"), probeText("500", nullptr, nullptr))),
        std::nullopt);
    jobs_.setSelected(0, true);
    state_.playing = true;
    state_.converting = true;
    sources_->remove();
    sources_->clear();
    state_.playing = false;
    sources_->remove();
    EXPECT_TRUE(sources_->addFiles({dir_.filePath(QStringLiteral("a.avi"))}).refused);
    state_.converting = false;
    state_.probing = true;  // another probe under way
    sources_->clear();
    EXPECT_TRUE(sources_->addFolder(dir_.path()).refused);
    state_.probing = false;
    EXPECT_EQ(ui_.warnings, (QStringList{"Please first stop play!", "Please first stop play!",
                                         "Please first stop convert!", "Please first stop convert!",
                                         CommandGuards::kBusyText, CommandGuards::kBusyText}));
    EXPECT_EQ(jobs_.rowCount(), 1);
    EXPECT_TRUE(ui_.confirmations.isEmpty());
}

TEST_F(FileSourcesTest, ClearAsksOnceAndNoKeepsTheRows) {
    sources_->clear();  // empty: nothing asked
    EXPECT_TRUE(ui_.confirmations.isEmpty());
    ASSERT_EQ(
        sources_->addFile(source(QStringLiteral("a.avi"), probeText("500", nullptr, nullptr))),
        std::nullopt);
    ui_.confirmAnswer = false;
    sources_->clear();
    EXPECT_EQ(jobs_.rowCount(), 1);
    ui_.confirmAnswer = true;
    sources_->clear();
    EXPECT_TRUE(jobs_.isEmpty());
    EXPECT_EQ(ui_.confirmations.size(), 2);
    EXPECT_EQ(
        ui_.confirmations[0],
        "Are you sure to remove all the files from filelist?\rNot delete from your computer.");
    EXPECT_TRUE(QFile::exists(dir_.filePath(QStringLiteral("a.avi"))));
}

TEST_F(FileSourcesTest, CaptionKeepsEverythingBeforeTheLastDot) {
    EXPECT_EQ(FileSources::captionOf(QStringLiteral("/v/clip")), "clip");
    EXPECT_EQ(FileSources::captionOf(QStringLiteral("/v/a.b.avi")), "a.b");
    EXPECT_EQ(FileSources::captionOf(QStringLiteral("/v.d/clip")), "clip");
}

TEST_F(FileSourcesTest, ProbeRunsTheEncoderWithTheFileAlone) {
    EXPECT_EQ(probe_->commandLineOf(QStringLiteral("/v/my clip.avi")),
              Quote(encoder_) + " -i \"/v/my clip.avi\"");
    // A probe that never ends is cut off by the time limit, and probing is over.
    const QString hang = dir_.filePath(QStringLiteral("hang.sh"));
    writeFile(hang, "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(hang, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    MediaProbe slow(state_, hang, dir_.path());
    slow.setTimeoutMs(300);
    const MediaProbe::Result r = slow.probe(QStringLiteral("/nothing"));
    EXPECT_TRUE(r.timedOut);
    EXPECT_FALSE(state_.probing);
}

}  // namespace
