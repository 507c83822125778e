// Sources of the shapes and frame rates people have, added as Add Files adds them, through a
// profile of every encoder and container as a run starts it: frames as the rate promises, the
// picture at its own shape (cropdetect), rising timestamps, sound and picture starting together.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "../../support/encoder_jobs.h"
#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"
#include "../../support/test_session.h"
#include "core/engine/output_naming.h"
#include "core/engine/picture_plan.h"

using namespace orvex::test;
using orvex::encoder::FrameRate;

namespace {

// Moving colours inside a white border (so cropdetect finds exactly the picture) and a tone.
struct Source {
    const char* file;  // its extension chooses the container
    const char* size;
    const char* rate;
    double shownAspect;
    const char* extra;  // encoder options, or the filter that varies the frame rate
};

const std::map<QString, Source> kSources = {
    {"16:9", {"wide.mp4", "320x180", "30000/1001", 16.0 / 9, ""}},
    {"4:3", {"tv.mp4", "320x240", "24000/1001", 4.0 / 3, ""}},
    {"7:4", {"cinema.mkv", "350x200", "30", 7.0 / 4, ""}},
    {"square", {"square.mp4", "240x240", "50", 1, ""}},
    {"60 fps", {"fast.mp4", "320x180", "60", 16.0 / 9, ""}},
    // A DVD's anamorphic picture: 720x576 stored, shown at 16:9.
    {"anamorphic", {"dvd.mpg", "720x576", "25", 16.0 / 9, " -c:v mpeg2video -aspect 16:9"}},
    // A phone's variable rate: 30 frames a second, then 15; FFmpeg gives its mean as 23.68.
    {"variable",
     {"phone.mp4", "320x240", "30", 4.0 / 3, " -vf select=lt(t\\,1)+not(mod(n\\,2)) -vsync vfr"}},
};

struct Case {
    int profile;
    QString source;
    const char* rate;  // the rate the output must run at
};

// Every encoder and container of profiles.pop at least once, at its smallest picture size.
const Case kCases[] = {
    {1, "7:4", "30"},                 // msmpeg4 in ASF
    {2, "4:3", "24000/1001"},         // mpeg4 in AVI
    {3, "16:9", "30000/1001"},        // libxvid in AVI
    {127, "16:9", "30000/1001"},      // libxvid in Matroska
    {122, "variable", "23.68"},       // libx264 in MP4
    {102, "square", "50"},            // libx264 in AVI
    {6, "anamorphic", "25"},          // rv20 in RealMedia
    {7, "60 fps", "60"},              // wmv2 in ASF
    {68, "4:3", "24000/1001"},        // h263 in 3GP
    {9, "square", "50"},              // mpeg4 in 3G2
    {10, "60 fps", "60"},             // mpeg4 in MOV
    {11, "7:4", "30"},                // flv
    {12, "16:9", "30000/1001"},       // flv in SWF
    {110, "4:3", "24000/1001"},       // mpeg1video in MPEG-PS
    {111, "variable", "24000/1001"},  // mpeg2video in VOB: the nearest standard rate
    {95, "60 fps", "60"},             // mpeg2video in MPEG-TS
    {56, "60 fps", "30"},             // the PSP shows at most 30 frames a second
    {28, "square", "25"},             // and the iPod: 50 halved
    {114, "anamorphic", "25"},        // the DVD target, 16:9 kept
    {112, "16:9", "25"},              // the Video CD target: 4:3 with bars
};

// What ffprobe says of a file in one pass, by section and kind: "frame video" -> the frames'
// times, "packet audio" -> the packets' dts, "stream video" -> codec, width, height, shape.
std::map<QString, QStringList> probe(const QString& file) {
    QString out;
    runProgram(QStringLiteral("ffprobe"),
               {"-v", "error", "-of", "compact", "-show_streams", "-show_packets", "-show_frames",
                "-show_entries",
                "stream=codec_type,codec_name,width,height,display_aspect_ratio:packet=codec_type,"
                "dts_time:frame=media_type,best_effort_timestamp_time",
                file},
               &out, 120000);
    std::map<QString, QStringList> values;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        QStringList fields = line.split(QLatin1Char('|'));
        QString kind = fields.takeFirst();
        QStringList found;
        for (const QString& f : fields) {  // side data and tags follow on some lines
            const QString key = f.section('=', 0, 0);
            if (key == "codec_type" || key == "media_type") {
                kind += " " + f.section('=', 1);
            } else if (QStringList{"dts_time", "best_effort_timestamp_time", "codec_name", "width",
                                   "height", "display_aspect_ratio"}
                           .contains(key)) {
                found << f.section('=', 1);
            }
        }
        values[kind] << found;
    }
    return values;
}

std::vector<double> knownTimes(const QStringList& texts) {
    std::vector<double> times;
    for (const QString& t : texts) {
        bool ok = false;
        if (const double v = t.toDouble(&ok); ok) {  // AVI's last frames have none
            times.push_back(v);
        }
    }
    return times;
}

class PictureMotionTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        ASSERT_TRUE(copyProfilesPop(dir_->path()));
        ASSERT_TRUE(QFile::link(registerDatPath(), dir_->filePath("register.dat")));
        QStringList paths;
        for (const auto& [key, s] : kSources) {
            paths << dir_->filePath(s.file);
            const QStringList args =
                QStringLiteral(
                    "-nostdin -v error -f lavfi -i testsrc2=s=%1:r=%2:d=2,drawbox=c=white:"
                    "t=4 -f lavfi -i sine=d=2 -pix_fmt yuv420p%3")
                    .arg(s.size, s.rate, s.extra)
                    .split(' ');
            ASSERT_EQ(runProgram("ffmpeg", args + QStringList{paths.last()}), 0);
        }
        session_ = makeTestSession(dir_->path(), "orvex", ui_, machine_).release();
        session_->files().addFiles(paths);
        ASSERT_TRUE(waitUntil([] { return !session_->files().busy(); }, 120000));
        ASSERT_EQ(session_->jobs().rowCount(), paths.size());
    }
    static void TearDownTestSuite() {
        delete session_;
        delete dir_;
    }

    // The job as a run would start it: the profile's defaults at its first (smallest but for
    // the discs) picture size.
    static intputrec prepare(const Case& c, OutputNaming& naming) {
        ProfileSelection& selection = session_->selection();
        selection.setCurrentProfile(c.profile);
        EXPECT_TRUE(selection.selectProfile(c.profile));
        if (selection.sizeList().isEnabled()) {
            selection.sizeList().userSelect(0);
        }
        // The rows were added in the sources' order.
        const auto row = static_cast<int>(std::distance(kSources.begin(), kSources.find(c.source)));
        QString why;
        const auto rec = session_->queue().prepareJob(row, naming, dir_->filePath("out/"), &why);
        EXPECT_TRUE(rec) << why.toStdString();
        return rec.value_or(intputrec{});
    }

    // One output against its case; a failed assertion ends only this case's checks.
    static void check(const Case& c, const intputrec& rec, const std::optional<JobEnd>& end) {
        const Source& source = kSources.at(c.source);
        SCOPED_TRACE(QStringLiteral("profile %1, %2: %3")
                         .arg(c.profile)
                         .arg(c.source, commandLineText(rec))
                         .toStdString());
        ASSERT_TRUE(end && end->succeeded()) << (end ? end->outputTail.toStdString() : "");

        // The table's rate, and as many frames as the source's picture lasts at it (from its
        // first frame to the end of its last, at its mean rate).
        const FrameRate rate = FrameRate::parse(c.rate).value();
        EXPECT_TRUE(rec.filterOption.startsWith(" -vf fps=" + QString::fromStdString(rate.text())));
        const std::vector<double> in =
            knownTimes(probe(dir_->filePath(source.file))["frame video"]);
        ASSERT_GT(in.size(), 10u);
        const double seconds = (in.back() - in.front()) * in.size() / (in.size() - 1);
        auto out = probe(rec.outputName);
        EXPECT_NEAR(out["frame video"].size(), seconds * rate.value(),
                    std::max(1.0, seconds * rate.value() / 100));

        const std::vector<double> frames = knownTimes(out["frame video"]);
        ASSERT_FALSE(frames.empty());
        EXPECT_TRUE(std::adjacent_find(frames.begin(), frames.end(), std::greater_equal<>()) ==
                    frames.end())
            << "timestamps do not rise";
        const std::vector<double> audio = knownTimes(out["frame audio"]);
        ASSERT_FALSE(audio.empty());
        EXPECT_GT(audio.back(), seconds * 0.8) << "the audio's times do not run";

        // Sound and picture start together. AVI keeps no times: its first packets must hold one
        // frame each, with no empty one. ASF keeps no note of WMA's 2048 samples of head start.
        const double frame = 1 / rate.value();
        if (QFileInfo(rec.outputName).suffix() == "avi") {
            const std::vector<double> dts = knownTimes(out["packet video"]);
            ASSERT_GE(dts.size(), 3u);
            EXPECT_NEAR(dts[0], knownTimes(out["packet audio"]).at(0), 0.005);
            EXPECT_NEAR(dts[2] - dts[0], 2 * frame, 0.005);
        } else {
            const double headStart = out["stream audio"].value(0) == "wmav2" ? 2048.0 / 44100 : 0;
            EXPECT_LE(std::abs(frames.front() - audio.front()), frame + headStart + 0.005);
        }

        // What is not black, shown at the output's shape, has the source's shape; bars only
        // where the shapes differ.
        QString log;
        runProgram("ffmpeg",
                   {"-nostdin", "-i", rec.outputName, "-vf",
                    "cropdetect=limit=0.15:round=2:reset=0", "-f", "null", "-"},
                   &log, 120000);
        const QString crop = log.section(QStringLiteral("crop="), -1);  // the last one found
        const double cw = crop.section(':', 0, 0).toDouble();
        const double ch = crop.section(':', 1, 1).toDouble();
        const QStringList video = out["stream video"];  // codec, width, height, display aspect
        const double w = video.value(1).toDouble();
        const double h = video.value(2).toDouble();
        double shape = PictureFacts::aspectOfRatioText(video.value(3));
        shape = shape > 0 ? shape : w / h;
        ASSERT_GT(cw * ch, 0);
        EXPECT_NEAR(cw * shape * h / (w * ch) / source.shownAspect, 1, 0.04)
            << cw << "x" << ch << " in " << w << "x" << h;
        const bool bars = cw < w - 4 || ch < h - 4;
        EXPECT_EQ(bars, std::abs(source.shownAspect / shape - 1) > kShapeTolerance);
    }

    static inline QTemporaryDir* dir_ = nullptr;
    static inline FakeUserInterface ui_;
    static inline FakeMachine machine_;
    static inline Session* session_ = nullptr;
};

TEST_F(PictureMotionTest, EveryEncoderAndContainerKeepsShapeAndMotion) {
    ASSERT_TRUE(QDir().mkpath(dir_->filePath("out")));
    OutputNaming naming;
    std::vector<intputrec> jobs;
    for (const Case& c : kCases) {
        jobs.push_back(prepare(c, naming));
    }
    const std::vector<std::optional<JobEnd>> ends = runEncoderJobs(jobs, 2);
    for (size_t i = 0; i < jobs.size(); ++i) {
        check(kCases[i], jobs[i], ends[i]);
    }
}

}  // namespace
