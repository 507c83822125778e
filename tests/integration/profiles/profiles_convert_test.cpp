// Every shipped profile, converted through the real core objects and register.dat: the option
// texts of profiles.pop must give FFmpeg 5.1 a file of the promised container, picture size
// and channel count.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "../../support/encoder_jobs.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"
#include "core/engine/encoder_runner.h"
#include "core/engine/invocation.h"
#include "core/engine/job_list.h"
#include "core/engine/option_assembly.h"
#include "core/profiles/profile_catalog.h"
#include "core/profiles/profile_selection.h"

using namespace orvex::test;

namespace {

constexpr int kClipWidth = 640;
constexpr int kClipHeight = 480;
constexpr int kParallelJobs = 2;

// A source as the media probe would have described its row.
struct Source {
    QString path;
    QString dimensions;
    QString videoKbps;
    QString audioKbps;
    bool hasAudio = true;
};

// One conversion and what its result must look like.
struct Case {
    QString label;
    int profile = 0;
    QString extension;
    intputrec rec;
    int width = 0;  // 0: no video stream expected
    int height = 0;
    int channels = 2;  // 0: no audio stream expected
    std::optional<JobEnd> end;
};

// What ffprobe calls the container each extension stands for; the MP4 family shares one
// name, so its brand tells them apart.
struct Container {
    QString formatName;
    QString brandPrefix;  // empty: not checked
};

Container containerFor(const QString& extension, int profile) {
    static const QString kMov = QStringLiteral("mov,mp4,m4a,3gp,3g2,mj2");
    static const std::map<QString, Container> kByExtension = {
        {".asf", {"asf", {}}},    {".wmv", {"asf", {}}},
        {".wma", {"asf", {}}},    {".avi", {"avi", {}}},
        {".mp4", {kMov, "isom"}}, {".mov", {kMov, "qt"}},
        {".3gp", {kMov, "3gp"}},  {".3g2", {kMov, "3g2"}},
        {".m4a", {kMov, "M4A"}},  {".rm", {"rm", {}}},
        {".ra", {"rm", {}}},      {".flv", {"flv", {}}},
        {".swf", {"swf", {}}},    {".mkv", {"matroska,webm", {}}},
        {".mpg", {"mpeg", {}}},   {".mpeg", {"mpeg", {}}},
        {".vob", {"mpeg", {}}},   {".ts", {"mpegts", {}}},
        {".wav", {"wav", {}}},    {".aiff", {"aiff", {}}},
        {".au", {"au", {}}},      {".aac", {"aac", {}}},
        {".ac3", {"ac3", {}}},    {".mp3", {"mp3", {}}},
        {".mp2", {"mp3", {}}},  // FFmpeg reads MPEG audio layers 1 to 3 with one demuxer
        {".ogg", {"ogg", {}}},    {".amr", {"amr", {}}},
    };
    const auto it = kByExtension.find(extension.toLower());
    if (it == kByExtension.end()) {
        return {};
    }
    Container c = it->second;
    // The PSP profiles write the PSP flavour of MP4.
    if (profile >= 56 && profile <= 58) {
        c.brandPrefix = QStringLiteral("MSNV");
    }
    return c;
}

QString probeFormatTag(const QString& file, const QString& tag) {
    QString out;
    if (runProgram(QStringLiteral("ffprobe"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                    QStringLiteral("format_tags=") + tag, QStringLiteral("-of"),
                    QStringLiteral("default=nw=1:nk=1"), file},
                   &out) != 0) {
        return {};
    }
    return out.trimmed();
}

class ProfilesConvertTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        clip_ = dir_->filePath(QStringLiteral("clip.mp4"));
        ASSERT_TRUE(makeClip(clip_, 2.0, kClipWidth, kClipHeight));
        // The row's rates, as the media probe would have read them.
        videoKbps_ = QString::number(
            probeStream(clip_, QStringLiteral("v:0"), QStringLiteral("bit_rate")).toInt() / 1000);
        audioKbps_ = QString::number(
            probeStream(clip_, QStringLiteral("a:0"), QStringLiteral("bit_rate")).toInt() / 1000);
        ASSERT_GT(videoKbps_.toInt(), 0);
        ASSERT_GT(audioKbps_.toInt(), 0);
        clipSource_ = {clip_, QStringLiteral("640x480"), videoKbps_, audioKbps_, true};

        // A screen recording without sound, and a phone clip: H.263 with 12 kbit/s mono audio
        // at 8 kHz, the rate of AMR-NB (which Debian's FFmpeg cannot write).
        const QString silent = dir_->filePath(QStringLiteral("silent.mkv"));
        ASSERT_TRUE(makeClip(silent, 1.0, 320, 240, false));
        // The probe counts a missing audio stream as 128 kbit/s.
        silentSource_ = {silent, QStringLiteral("320x240"), QStringLiteral("400"),
                         QStringLiteral("128"), false};
        const QString phone = dir_->filePath(QStringLiteral("phone.3gp"));
        ASSERT_TRUE(makeClip(
            phone, 1.0, 176, 144, true,
            {"-vcodec", "h263", "-acodec", "aac", "-ab", "12000", "-ar", "8000", "-ac", "1"}));
        ASSERT_EQ(probeStream(phone, QStringLiteral("a:0"), QStringLiteral("channels")), "1");
        phoneSource_ = {phone, QStringLiteral("176x144"), QStringLiteral("100"),
                        QStringLiteral("12"), true};
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }

    // Selects `profile` in the video edition with an empty choices file, lets `adjust` change
    // the lists as a user would, and assembles the job for the clip.
    Case prepare(int profile, const QString& variant,
                 const std::function<void(ProfileSelection&)>& adjust = {},
                 const Source* source = nullptr) {
        const Source& from = source != nullptr ? *source : clipSource_;
        Case c;
        c.profile = profile;
        const int serial = serial_++;
        const QString choices = dir_->filePath(QStringLiteral("pro orvex %1.ini").arg(serial));
        JobList jobs;
        IniChoicesStore store{platform::IniFile(choices)};
        ProfileSelection selection(QStringLiteral("orvex"), store, profilesPopPath());
        QString error;
        if (!selection.selectProfile(profile, &error)) {
            ADD_FAILURE() << "profile " << profile << ": " << error.toStdString();
            return c;
        }
        if (adjust) {
            adjust(selection);
        }
        c.extension = selection.extension();
        c.label = QStringLiteral("profile %1 %2 [%3]")
                      .arg(profile)
                      .arg(selection.currentDisplayName(), variant);

        JobList::Row clipRow;
        clipRow.caption = QStringLiteral("clip");
        clipRow.info = {from.path, from.dimensions, QStringLiteral("00:00:02"),
                        {},        from.videoKbps,  from.audioKbps};
        const int row = jobs.addRow(clipRow);
        if (!assembleOptions(selection, jobs, row, c.rec, &error)) {
            ADD_FAILURE() << c.label.toStdString() << ": " << error.toStdString();
            return c;
        }
        c.rec.inputName = from.path;
        c.rec.outputName = dir_->filePath(QStringLiteral("out%1%2").arg(serial).arg(c.extension));
        c.rec.encoderPath = registerDatPath();
        c.rec.workFolder = binDir();

        // The expected result, from the choices rather than from the assembled options.
        const QString sizeText = selection.sizeList().currentText();
        if (ProfileCatalog::isDiscProfile(profile)) {
            const bool pal = sizeText == ProfileCatalog::kPal;
            static const std::map<int, std::pair<int, int>> kPalSizes = {
                {112, {352, 288}}, {113, {480, 576}}, {114, {720, 576}}};
            static const std::map<int, std::pair<int, int>> kNtscSizes = {
                {112, {352, 240}}, {113, {480, 480}}, {114, {720, 480}}};
            std::tie(c.width, c.height) = (pal ? kPalSizes : kNtscSizes).at(profile);
            c.channels = 2;  // the disc standards are stereo
        } else {
            if (!ProfileCatalog::isAudioOnly(profile)) {
                const QString size = sizeText == ProfileCatalog::kOriginalSize
                                         ? from.dimensions
                                         : sizeText.section(QLatin1Char('('), 0, 0);
                c.width = size.section(QLatin1Char('x'), 0, 0).toInt();
                c.height = size.section(QLatin1Char('x'), 1, 1).toInt();
            }
            c.channels = selection.channelList().itemIndex() + 1;
            // AMR-table outputs are mono by definition, and so is RealAudio 14.4.
            if (ProfileCatalog::isMobileAudioExtension(c.extension) ||
                c.extension == QStringLiteral(".ra")) {
                c.channels = 1;
            }
        }
        // Only the PSP muxer needs audio: those outputs get a silent track.
        if (!from.hasAudio && !(profile >= 56 && profile <= 59)) {
            c.channels = 0;
        }
        return c;
    }

    // Runs the cases' encoders, kParallelJobs at a time, on the event loop.
    static void runAll(std::vector<Case>& cases) {
        std::vector<intputrec> jobs;
        for (const Case& c : cases) {
            jobs.push_back(c.rec);
        }
        const std::vector<std::optional<JobEnd>> ends = runEncoderJobs(jobs, kParallelJobs);
        for (size_t i = 0; i < cases.size(); ++i) {
            cases[i].end = ends[i];
        }
    }

    static void check(const Case& c) {
        SCOPED_TRACE(c.label.toStdString());
        if (c.rec.encoderPath.isEmpty()) {
            return;  // reported by prepare()
        }
        SCOPED_TRACE(commandLineText(c.rec).toStdString());
        ASSERT_TRUE(c.end.has_value()) << "the job never ended";
        ASSERT_TRUE(c.end->succeeded()) << "exit " << c.end->exitCode << "\n"
                                        << c.end->outputTail.right(800).toStdString();
        const QString out = c.rec.outputName;
        ASSERT_GT(QFileInfo(out).size(), 0);

        const Container container = containerFor(c.extension, c.profile);
        ASSERT_FALSE(container.formatName.isEmpty())
            << "no container known for " << c.extension.toStdString();
        EXPECT_EQ(probeFormatName(out), container.formatName);
        if (!container.brandPrefix.isEmpty()) {
            EXPECT_TRUE(probeFormatTag(out, QStringLiteral("major_brand"))
                            .startsWith(container.brandPrefix))
                << "brand " << probeFormatTag(out, QStringLiteral("major_brand")).toStdString();
        }

        const QString width = probeStream(out, QStringLiteral("v:0"), QStringLiteral("width"));
        if (c.width == 0) {
            EXPECT_TRUE(width.isEmpty()) << "an audio profile wrote a video stream";
        } else {
            EXPECT_EQ(width, QString::number(c.width));
            EXPECT_EQ(probeStream(out, QStringLiteral("v:0"), QStringLiteral("height")),
                      QString::number(c.height));
        }
        EXPECT_EQ(probeStream(out, QStringLiteral("a:0"), QStringLiteral("channels")),
                  c.channels == 0 ? QString() : QString::number(c.channels));
    }

    // The smallest picture the profile offers, which keeps the many conversions quick.
    static void smallestSize(ProfileSelection& s) {
        int best = -1;
        int bestArea = 0;
        for (int i = 0; i < s.sizeList().items().size(); ++i) {
            const QString size = s.sizeList().items()[i].section(QLatin1Char('('), 0, 0);
            const int area =
                size.section(QLatin1Char('x'), 0, 0).toInt() * size.section('x', 1, 1).toInt();
            if (area > 0 && (best < 0 || area < bestArea)) {
                best = i;
                bestArea = area;
            }
        }
        if (best >= 0 && s.sizeList().isEnabled()) {
            s.sizeList().userSelect(best);
        }
    }

    static std::vector<int> allProfiles() {
        std::vector<int> all;
        for (int n = ProfileCatalog::kFirstProfile; n <= ProfileCatalog::kLastProfile; ++n) {
            if (ProfileCatalog::displayNameOf(n)) {
                all.push_back(n);
            }
        }
        return all;
    }

    static QTemporaryDir* dir_;
    static QString clip_;
    static QString videoKbps_;
    static QString audioKbps_;
    static int serial_;
    static Source clipSource_;
    static Source silentSource_;
    static Source phoneSource_;
};

QTemporaryDir* ProfilesConvertTest::dir_ = nullptr;
QString ProfilesConvertTest::clip_;
QString ProfilesConvertTest::videoKbps_;
QString ProfilesConvertTest::audioKbps_;
int ProfilesConvertTest::serial_ = 0;
Source ProfilesConvertTest::clipSource_;
Source ProfilesConvertTest::silentSource_;
Source ProfilesConvertTest::phoneSource_;

TEST_F(ProfilesConvertTest, EveryProfileConvertsWithItsDefaultChoices) {
    std::vector<Case> cases;
    for (int n = ProfileCatalog::kFirstProfile; n <= ProfileCatalog::kLastProfile; ++n) {
        if (ProfileCatalog::displayNameOf(n)) {
            cases.push_back(prepare(n, QStringLiteral("defaults")));
        }
    }
    ASSERT_EQ(cases.size(), 116u);
    runAll(cases);
    for (const Case& c : cases) {
        check(c);
    }
}

TEST_F(ProfilesConvertTest, QualityLevelsChannelsAndOriginalSize) {
    std::vector<Case> cases;
    // A spread of encoders with rate limits of their own: mpeg4 + mp3 in AVI, 3GP with the AMR
    // table, FLV and SWF fixed sample rates, AC3 and MP2 audio, MPEG-1, H.264 in ".MP4", RealAudio,
    // Real Video with AAC, and AMR itself.
    for (const int n : {2, 6, 8, 11, 12, 16, 19, 24, 71, 110, 123}) {
        for (int level = 0; level < ProfileCatalog::kQualityLevels; ++level) {
            cases.push_back(
                prepare(n, QStringLiteral("level %1").arg(level), [level](ProfileSelection& s) {
                    s.videoList().userSelect(level);
                    s.audioList().userSelect(level);
                }));
        }
    }
    for (const int n : {1, 7, 12, 15, 17, 21, 23, 68, 95, 106, 125, 129}) {
        cases.push_back(prepare(n, QStringLiteral("Mono"),
                                [](ProfileSelection& s) { s.channelList().userSelect(0); }));
    }
    for (const int n : {3, 6, 8, 9, 11, 12, 14, 102, 106, 108, 110, 111}) {
        cases.push_back(prepare(n, QStringLiteral("original size"), [](ProfileSelection& s) {
            const int original =
                static_cast<int>(s.sizeList().items().indexOf(ProfileCatalog::kOriginalSize));
            ASSERT_GE(original, 0) << "no original size offered";
            s.sizeList().userSelect(original);
        }));
    }
    for (const int n : {112, 113, 114}) {
        cases.push_back(prepare(n, QStringLiteral("NTSC"),
                                [](ProfileSelection& s) { s.sizeList().userSelect(1); }));
    }
    runAll(cases);
    for (const Case& c : cases) {
        check(c);
    }
}

// A source without audio converts with every profile that writes video (the audio-only ones
// refuse it before the encoder starts; see the conversion queue's tests), a phone clip with
// every profile.
TEST_F(ProfilesConvertTest, SilentAndPhoneSourcesConvertWithEveryProfile) {
    std::vector<Case> cases;
    for (const int n : allProfiles()) {
        if (!ProfileCatalog::isAudioOnly(n)) {
            cases.push_back(prepare(n, QStringLiteral("silent"), smallestSize, &silentSource_));
        }
        cases.push_back(prepare(n, QStringLiteral("phone"), smallestSize, &phoneSource_));
    }
    runAll(cases);
    for (const Case& c : cases) {
        check(c);
    }
}

// "The Original ... Quliay" hands the source's own rates to the encoder, whatever they are.
TEST_F(ProfilesConvertTest, OriginalRatesAtTheExtremes) {
    std::vector<Case> cases;
    for (const int n : allProfiles()) {
        for (const auto& [videoKbps, audioKbps] :
             {std::pair{"50", "8"}, std::pair{"50000", "1536"}}) {
            Source source = clipSource_;
            source.videoKbps = QString::fromLatin1(videoKbps);
            source.audioKbps = QString::fromLatin1(audioKbps);
            bool offered = false;
            Case c = prepare(
                n, QStringLiteral("original %1/%2").arg(videoKbps, audioKbps),
                [&offered](ProfileSelection& s) {
                    const auto video =
                        s.videoList().items().indexOf(ProfileCatalog::kOriginalVideo);
                    const auto audio =
                        s.audioList().items().indexOf(ProfileCatalog::kOriginalAudio);
                    offered = video >= 0 && audio >= 0;
                    if (offered) {
                        s.videoList().userSelect(static_cast<int>(video));
                        s.audioList().userSelect(static_cast<int>(audio));
                        s.channelList().userSelect(0);
                        smallestSize(s);
                    }
                },
                &source);
            if (offered) {
                cases.push_back(c);
            }
        }
    }
    ASSERT_GT(cases.size(), 40u);
    runAll(cases);
    for (const Case& c : cases) {
        check(c);
    }
}

}  // namespace
