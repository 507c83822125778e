// Sources of the shapes and frame rates people have, added as Add Files adds them and converted
// through a representative profile of every encoder and container, as a run starts each job:
// each output holds the frames its rate promises, shows the picture at its own shape (black bars
// found with FFmpeg's cropdetect), has only rising timestamps, and starts sound and picture
// together.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <memory>

#include "../../support/encoder_jobs.h"
#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"
#include "../../support/test_session.h"
#include "core/engine/output_naming.h"
#include "core/engine/picture_plan.h"
#include "core/profiles/picture_size.h"
#include "core/profiles/profile_catalog.h"

using namespace orvex::test;
using orvex::encoder::FrameRate;

namespace {

// A source made with FFmpeg's lavfi: moving colours inside a white border, so cropdetect finds
// exactly the picture, and a tone.
struct SourceSpec {
    const char* name;  // file name, its extension choosing the container
    int width;
    int height;
    const char* rate;
    double shownAspect;  // width / height as shown
    QStringList extra;   // encoder options, or the filter that varies the frame rate
    double seconds = 2;
};

const std::map<QString, SourceSpec>& sources() {
    static const std::map<QString, SourceSpec> kSources = {
        {"16:9", {"wide.mp4", 320, 180, "30000/1001", 16.0 / 9, {"-c:v", "libx264"}}},
        {"4:3", {"tv.mp4", 320, 240, "24000/1001", 4.0 / 3, {"-c:v", "libx264"}}},
        {"7:4", {"cinema.mkv", 350, 200, "30", 7.0 / 4, {"-c:v", "libx264"}}},
        {"square", {"square.mp4", 240, 240, "50", 1, {"-c:v", "libx264"}}},
        {"60 fps", {"fast.mp4", 320, 180, "60", 16.0 / 9, {"-c:v", "libx264"}}},
        // A DVD's anamorphic picture: 720x576 stored, shown at 16:9.
        {"anamorphic",
         {"dvd.mpg", 720, 576, "25", 16.0 / 9, {"-c:v", "mpeg2video", "-aspect", "16:9"}, 1}},
        // A phone's variable rate: 30 frames a second, then 15.
        {"variable",
         {"phone.mp4",
          320,
          240,
          "30",
          4.0 / 3,
          {"-vf", "select='lt(t\\,1)+not(mod(n\\,2))'", "-vsync", "vfr", "-c:v", "libx264"}}},
    };
    return kSources;
}

// What one output must be; the rest follows from its source.
struct Case {
    int profile;
    QString source;
    const char* rate;  // the rate the output must run at
};

// Every encoder (msmpeg4, mpeg4, libxvid, libx264, rv20, wmv2, h263, flv, mpeg1video,
// mpeg2video) and container (ASF, AVI, Matroska, MP4, PSP, 3GP, 3G2, MOV, RealMedia, FLV, SWF,
// MPEG-PS, MPEG-TS, the disc targets) at least once, and every source shape and rate.
const std::vector<Case>& cases() {
    static const std::vector<Case> kCases = {
        {1, "7:4", "30"},                 // msmpeg4 in ASF
        {2, "4:3", "24000/1001"},         // mpeg4 in AVI
        {3, "16:9", "30000/1001"},        // libxvid in AVI
        {127, "16:9", "30000/1001"},      // libxvid in Matroska
        {122, "variable", "23.68"},       // libx264 in MP4, at the average rate FFmpeg gives
        {102, "square", "50"},            // libx264 in AVI
        {6, "anamorphic", "25"},          // rv20 in RealMedia
        {7, "60 fps", "60"},              // wmv2 in ASF
        {68, "4:3", "24000/1001"},        // h263 in 3GP
        {9, "square", "50"},              // mpeg4 in 3G2
        {10, "60 fps", "60"},             // mpeg4 in MOV
        {11, "7:4", "30"},                // flv
        {12, "16:9", "30000/1001"},       // flv in SWF
        {110, "4:3", "24000/1001"},       // mpeg1video in MPEG-PS
        {111, "variable", "24000/1001"},  // mpeg2video in VOB: the standard rate nearest it
        {116, "60 fps", "60"},            // mpeg2video in MPEG-TS
        {56, "60 fps", "30"},             // mpeg4 for the PSP: a device shows at most 30
        {28, "square", "25"},             // libx264 for the iPod: 50 halved
        {114, "anamorphic", "25"},        // the DVD target keeps 16:9
        {112, "16:9", "25"},              // the Video CD target: 4:3 with bars, PAL's rate
    };
    return kCases;
}

// What ffprobe says of an output, read in one pass.
struct Probe {
    int width = 0;
    int height = 0;
    double shownAspect = 0;
    QString audioCodec;
    std::vector<double> frameTimes;  // decoded video frames, in order; NaN where none is known
    std::vector<double> videoDts;    // video packets, in order
    double firstAudio = NAN;
    double firstAudioDts = NAN;
};

double number(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : NAN;
}

Probe probe(const QString& file) {
    QString out;
    QStringList args{"-v",
                     "error",
                     "-show_entries",
                     "stream=codec_type,codec_name,width,height,display_aspect_ratio:"
                     "packet=codec_type,dts_time:frame=media_type,best_effort_timestamp_time",
                     "-show_streams",
                     "-show_packets",
                     "-show_frames",
                     "-of",
                     "compact"};
    Probe p;
    if (runProgram(QStringLiteral("ffprobe"), args << file, &out, 120000) != 0) {
        return p;
    }
    bool videoSeen = false;
    // Packets and frames come before the streams; each names its kind.
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // "packet|codec_type=video|dts_time=0.040000"
        const QStringList fields = line.split(QLatin1Char('|'));
        std::map<QString, QString> v;
        for (const QString& field : fields.mid(1)) {
            v[field.section(QLatin1Char('='), 0, 0)] = field.section(QLatin1Char('='), 1);
        }
        const QString& kind = fields.first();
        const QString type = kind == "frame" ? v["media_type"] : v["codec_type"];
        if (kind == "stream" && type == "video" && !videoSeen) {
            videoSeen = true;
            p.width = v["width"].toInt();
            p.height = v["height"].toInt();
            p.shownAspect = PictureFacts::aspectOfRatioText(v["display_aspect_ratio"]);
        } else if (kind == "stream" && type == "audio" && p.audioCodec.isEmpty()) {
            p.audioCodec = v["codec_name"];
        } else if (kind == "packet" && type == "video") {
            p.videoDts.push_back(number(v["dts_time"]));
        } else if (kind == "packet" && type == "audio" && std::isnan(p.firstAudioDts)) {
            p.firstAudioDts = number(v["dts_time"]);
        } else if (kind == "frame" && type == "video") {
            p.frameTimes.push_back(number(v["best_effort_timestamp_time"]));
        } else if (kind == "frame" && type == "audio" && std::isnan(p.firstAudio)) {
            p.firstAudio = number(v["best_effort_timestamp_time"]);
        }
    }
    if (p.shownAspect == 0 && p.height > 0) {
        p.shownAspect = static_cast<double>(p.width) / p.height;
    }
    return p;
}

// How long a source's picture lasts as FFmpeg's fps filter sees it: from its first frame to
// the end of its last, at its mean frame rate (a variable-rate source's container may say
// otherwise).
double spanOf(const QString& file) {
    static std::map<QString, double> known;
    if (const auto it = known.find(file); it != known.end()) {
        return it->second;
    }
    const Probe p = probe(file);
    if (p.frameTimes.size() < 2) {
        return 0;
    }
    const double first = p.frameTimes.front();
    const double last = p.frameTimes.back();
    return known[file] = (last - first) * p.frameTimes.size() / (p.frameTimes.size() - 1);
}

// The last picture cropdetect found: x, y, width and height of what is not black.
std::optional<QRect> pictureArea(const QString& file) {
    QString out;
    runProgram(
        QStringLiteral("ffmpeg"),
        {"-nostdin", "-i", file, "-vf", "cropdetect=limit=0.15:round=2:reset=0", "-f", "null", "-"},
        &out, 120000);
    const auto matches =
        QRegularExpression(QStringLiteral("crop=(\\d+):(\\d+):(\\d+):(\\d+)")).globalMatch(out);
    std::optional<QRect> area;
    for (auto it = matches; it.hasNext();) {
        const auto m = it.next();
        area = QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
                     m.captured(2).toInt());
    }
    return area;
}

class PictureMotionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        const QString folder = dir_->path();
        ASSERT_TRUE(copyProfilesPop(folder));
        ASSERT_TRUE(QFile::link(registerDatPath(), folder + "/register.dat"));
        QStringList paths;
        for (const auto& [key, s] : sources()) {
            const QString path = dir_->filePath(QString::fromLatin1(s.name));
            const QString seconds = QString::number(s.seconds);
            QStringList args{"-nostdin",
                             "-v",
                             "error",
                             "-y",
                             "-f",
                             "lavfi",
                             "-i",
                             QStringLiteral("testsrc2=size=%1x%2:rate=%3:duration=%4,drawbox="
                                            "c=white:t=4")
                                 .arg(s.width)
                                 .arg(s.height)
                                 .arg(QString::fromLatin1(s.rate), seconds),
                             "-f",
                             "lavfi",
                             "-i",
                             QStringLiteral("sine=frequency=440:duration=%1").arg(seconds),
                             "-pix_fmt",
                             "yuv420p"};
            ASSERT_EQ(runProgram(QStringLiteral("ffmpeg"), args << s.extra << path), 0)
                << key.toStdString();
            paths << path;
        }
        session_ = makeTestSession(folder, QStringLiteral("orvex"), ui_, machine_).release();
        session_->files().addFiles(paths);
        ASSERT_TRUE(waitUntil([] { return !session_->files().busy(); }, 120000));
        ASSERT_EQ(session_->jobs().rowCount(), paths.size())
            << ui_.warnings.join(' ').toStdString();
    }
    static void TearDownTestSuite() {
        delete session_;
        session_ = nullptr;
        delete dir_;
        dir_ = nullptr;
    }

    static int rowOf(const QString& source) {
        const QString caption =
            QFileInfo(QString::fromLatin1(sources().at(source).name)).completeBaseName();
        for (int row = 0; row < session_->jobs().rowCount(); ++row) {
            if (session_->jobs().caption(row) == caption) {
                return row;
            }
        }
        return -1;
    }

    // The job as a run would start it: the profile's defaults at its smallest picture size.
    static intputrec prepare(const Case& c, OutputNaming& naming) {
        ProfileSelection& selection = session_->selection();
        selection.setCurrentProfile(c.profile);
        EXPECT_TRUE(selection.selectProfile(c.profile));
        ChoiceList& sizes = selection.sizeList();
        int smallest = -1;
        int smallestArea = 0;
        for (int i = 0; i < sizes.count(); ++i) {
            const auto size = PictureSize::parse(PictureSize::sizeTextOfEntry(sizes.items()[i]));
            if (size && size->width * size->height > 0 &&
                (smallest < 0 || size->width * size->height < smallestArea)) {
                smallest = i;
                smallestArea = size->width * size->height;
            }
        }
        if (smallest >= 0 && sizes.isEnabled()) {
            sizes.userSelect(smallest);
        }
        QString why;
        const std::optional<intputrec> rec =
            session_->queue().prepareJob(rowOf(c.source), naming, dir_->path() + "/out/", &why);
        EXPECT_TRUE(rec) << why.toStdString();
        return rec.value_or(intputrec{});
    }

    // One output against its case; a failed assertion ends only this case's checks.
    static void check(const Case& c, const intputrec& rec, const std::optional<JobEnd>& end) {
        const SourceSpec& source = sources().at(c.source);
        SCOPED_TRACE(QStringLiteral("profile %1, %2 source: %3")
                         .arg(c.profile)
                         .arg(c.source, commandLineText(rec))
                         .toStdString());
        ASSERT_TRUE(end && end->succeeded())
            << (end ? end->outputTail.right(600).toStdString() : "never ran");

        // The rate: the table's, and as many frames as the source's time holds at it.
        const FrameRate rate = FrameRate::parse(c.rate).value();
        EXPECT_TRUE(rec.filterOption.startsWith(QStringLiteral(" -vf fps=") +
                                                QString::fromStdString(rate.text())));
        const double seconds = spanOf(dir_->filePath(QString::fromLatin1(source.name)));
        const Probe out = probe(rec.outputName);
        const double expectedFrames = seconds * rate.value();
        EXPECT_NEAR(out.frameTimes.size(), expectedFrames, std::max(1.0, expectedFrames / 100))
            << seconds << " s";

        // Only rising timestamps (AVI's last frames come out of the decoder with none).
        std::vector<double> known;
        std::copy_if(out.frameTimes.begin(), out.frameTimes.end(), std::back_inserter(known),
                     [](double t) { return !std::isnan(t); });
        ASSERT_FALSE(known.empty());
        for (size_t f = 1; f < known.size(); ++f) {
            ASSERT_GT(known[f], known[f - 1]) << "frame " << f;
        }

        // Sound and picture start together. AVI keeps no presentation times: there its first
        // packets must have no gap, each holding one frame's time.
        const double frame = 1 / rate.value();
        if (QFileInfo(rec.outputName).suffix() == "avi") {
            ASSERT_GE(out.videoDts.size(), 3u);
            EXPECT_NEAR(out.videoDts[0], out.firstAudioDts, 0.005);
            EXPECT_NEAR(out.videoDts[2] - out.videoDts[0], 2 * frame, 0.005);
        } else {
            // ASF keeps no note of the audio encoder's head start, which its first packets
            // hold: WMA's 2048 samples.
            const double headStart = out.audioCodec == "wmav2" ? 2048.0 / 44100 : 0;
            EXPECT_LE(std::abs(known.front() - out.firstAudio), frame + headStart + 0.005)
                << "video " << known.front() << ", audio " << out.firstAudio;
        }

        // The picture's shape: what is not black, shown at the output's shape, is the source's.
        const std::optional<QRect> area = pictureArea(rec.outputName);
        ASSERT_TRUE(area && area->width() > 0 && area->height() > 0);
        const double shown = area->width() * out.shownAspect * out.height /
                             (static_cast<double>(out.width) * area->height());
        EXPECT_NEAR(shown / source.shownAspect, 1, 0.04)
            << "picture " << area->width() << "x" << area->height() << " in " << out.width << "x"
            << out.height;
        const bool bars = std::abs(source.shownAspect / out.shownAspect - 1) > kShapeTolerance;
        EXPECT_EQ(area->width() < out.width - 4 || area->height() < out.height - 4, bars)
            << "picture " << area->width() << "x" << area->height() << " in " << out.width << "x"
            << out.height;
    }

    static QTemporaryDir* dir_;
    static FakeUserInterface ui_;
    static FakeMachine machine_;
    static Session* session_;
};

QTemporaryDir* PictureMotionTest::dir_ = nullptr;
FakeUserInterface PictureMotionTest::ui_;
FakeMachine PictureMotionTest::machine_;
Session* PictureMotionTest::session_ = nullptr;

TEST_F(PictureMotionTest, EveryEncoderAndContainerKeepsShapeAndMotion) {
    ASSERT_TRUE(QDir().mkpath(dir_->path() + "/out"));
    OutputNaming naming;
    std::vector<intputrec> jobs;
    for (const Case& c : cases()) {
        jobs.push_back(prepare(c, naming));
    }
    const std::vector<std::optional<JobEnd>> ends = runEncoderJobs(jobs, 2);

    for (size_t i = 0; i < cases().size(); ++i) {
        check(cases()[i], jobs[i], ends[i]);
    }
}

}  // namespace
