#include "core/sources/media_probe.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"

namespace {

struct Format {
    const char* extension;
    QStringList codecArgs;
    const char* size;
    bool videoRate;  // FFmpeg prints a video kb/s for this container
    bool audioRate = true;
};

// Real FFmpeg 5.1 text through the real register.dat, for every container the field notes
// call out: stream lines without kb/s, codec tags before the size, audio listed first, a
// "Guessed Channel Layout" line before the input.
TEST(MediaProbeIntegrationTest, ReadsRealProbesOfEveryContainer) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const Format formats[] = {
        {"avi", {}, "320x240", true},
        {"mp4", {}, "320x240", true},
        {"mkv", {}, "320x240", false, false},  // Matroska prints no stream rates
        {"flv", {"-c:v", "flv", "-c:a", "mp3"}, "320x240", true},
        {"wmv", {"-c:v", "wmv2", "-c:a", "wmav2", "-ac", "1"}, "320x240", false},
        {"mpg", {}, "320x240", true},
        {"ts", {}, "320x240", false},
        {"3gp", {"-c:v", "h263", "-s", "176x144", "-c:a", "aac", "-ar", "8000"}, "176x144", true},
    };
    MediaProbe probe(orvex::test::registerDatPath(), orvex::test::binDir());
    std::optional<MediaProbe::Result> result;
    QObject::connect(&probe, &MediaProbe::finished,
                     [&result](const MediaProbe::Result& r) { result = r; });
    for (const Format& f : formats) {
        const QString path = dir.filePath(QStringLiteral("clip.") + QLatin1String(f.extension));
        ASSERT_TRUE(orvex::test::makeClip(path, 3.0, 320, 240, true, f.codecArgs)) << f.extension;
        result.reset();
        probe.start(path);
        ASSERT_TRUE(orvex::test::waitUntil([&result] { return result.has_value(); }, 60000));
        const MediaProbe::Result& r = *result;
        SCOPED_TRACE(f.extension);
        EXPECT_TRUE(r.started);
        EXPECT_FALSE(r.timedOut);
        EXPECT_EQ(r.values.duration, "00:00:03");
        EXPECT_EQ(r.values.size, QLatin1String(f.size));
        bool ok = false;
        EXPECT_GT(r.values.totalKbps.toInt(&ok), 0);
        EXPECT_TRUE(ok) << r.values.totalKbps.toStdString();
        EXPECT_EQ(!r.values.videoKbps.isEmpty(), f.videoRate) << r.values.videoKbps.toStdString();
        EXPECT_EQ(!r.values.audioKbps.isEmpty(), f.audioRate);
        EXPECT_TRUE(r.values.hasVideo);
        EXPECT_TRUE(r.values.hasAudio);
    }
}

}  // namespace
