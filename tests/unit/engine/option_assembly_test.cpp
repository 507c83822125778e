#include "core/engine/option_assembly.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <clocale>
#include <map>
#include <memory>

#include "../../support/qt_gtest.h"
#include "core/profiles/output_estimates.h"
#include "core/profiles/profile_catalog.h"

namespace {

// A small profiles.pop: every record has sizes, five rates and a codec line; audio-only
// profiles have rate "*" and no sizes. `sizes` and `codecs` replace the size and codec lines of
// chosen records.
void writePop(const QString& path, const std::map<int, QByteArray>& sizes = {},
              const std::map<int, QByteArray>& codecs = {}) {
    QByteArray text;
    for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
        QByteArray size = "320x240(QVGA) 640x480 720x576 1280x720 176x144";
        QByteArray rates = "150 250 400 600 800";
        if (ProfileCatalog::isAudioOnly(n)) {
            size = "";
            rates = "*";
        }
        if (auto it = sizes.find(n); it != sizes.end()) {
            size = it->second;
        }
        QByteArray codec = " -codec" + QByteArray::number(n);
        if (auto it = codecs.find(n); it != codecs.end()) {
            codec = it->second;
        }
        text += "t\n" + size + "\n" + rates + "\n" + codec + "\n";
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

class OptionAssemblyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writePop(dir_.filePath("profiles.pop"),
                 {{3, "640x0 QCIF 1280x720"}, {6, "abcx240 320x240"}},
                 {{56, " -vcodec mpeg4 -f psp"},
                  {104, " -vcodec libxvid -f avi"},
                  {110, " -vcodec mpeg1video -f mpeg"}});
        store_ =
            std::make_unique<IniChoicesStore>(platform::IniFile(dir_.filePath("pro orvex.ini")));
        selection_ =
            std::make_unique<ProfileSelection>("orvex", *store_, dir_.filePath("profiles.pop"));
        setRecord({"/v/clip.avi", "720x576", "00:01:30", {}, "1800", "224"});
    }

    // The job list holds one row with this record and picture.
    void setRecord(const Toriginalinfo& info, const PictureFacts& picture = {}) {
        jobs_.clear();
        JobList::Row row;
        row.caption = "clip";
        row.info = info;
        row.picture = picture;
        row_ = jobs_.addRow(row);
    }

    RatePlan plan() {
        const std::optional<RatePlan> p = planRates(selection_->rateChoices(), jobs_.jobInfo(row_));
        EXPECT_TRUE(p);
        return p.value_or(RatePlan());
    }

    void select(int number) {
        QString error;
        ASSERT_TRUE(selection_->selectProfile(number, &error)) << error.toStdString();
    }

    // size, video, audio, channel item indexes; -1 keeps the list's choice.
    void choose(int size, int video, int audio, int channel) {
        if (size >= 0)
            selection_->sizeList().userSelect(size);
        if (video >= 0)
            selection_->videoList().userSelect(video);
        if (audio >= 0)
            selection_->audioList().userSelect(audio);
        if (channel >= 0)
            selection_->channelList().userSelect(channel);
    }

    intputrec assemble() {
        intputrec rec;
        QString error;
        EXPECT_TRUE(assembleOptions(*selection_, jobs_, row_, rec, &error)) << error.toStdString();
        return rec;
    }

    QTemporaryDir dir_;
    JobList jobs_;
    std::unique_ptr<ChoicesStore> store_;
    std::unique_ptr<ProfileSelection> selection_;
    int row_ = 0;
};

TEST_F(OptionAssemblyTest, DerivedRangeProfile) {
    select(2);
    choose(1, 2, 2, 1);  // 640x480, Normal, Normal, Stereo
    const intputrec rec = assemble();
    EXPECT_EQ(rec.sizeOption, " -s 640x480");
    EXPECT_EQ(rec.aspectOption, " -aspect 1.3333");
    EXPECT_EQ(rec.videoOption, " -r 25 -b 1598000");
    EXPECT_EQ(rec.audioOption, " -ab 128000");
    EXPECT_EQ(rec.rateOption, " -ar 44100 ");
    EXPECT_EQ(rec.channelOption, " -ac 2");
    EXPECT_EQ(rec.profileArgs, " -codec2");
    EXPECT_EQ(rec.durationSeconds, 90);
}

TEST_F(OptionAssemblyTest, AspectUsesAPointUnderAGermanLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may not be installed; harmless then
    select(2);
    choose(0, 2, 2, 1);
    const intputrec rec = assemble();
    EXPECT_EQ(rec.aspectOption, " -aspect 1.3333");
    const QString estimate = OutputEstimates(*selection_, jobs_).estimateOutputSize(row_);
    EXPECT_TRUE(estimate.endsWith("MB") && estimate.contains('.') && !estimate.contains(','))
        << estimate.toStdString();
    std::setlocale(LC_NUMERIC, saved.c_str());
    QLocale::setDefault(QLocale::c());
}

TEST_F(OptionAssemblyTest, AudioRateDecidesTheSampleRate) {
    select(2);
    struct Case {
        int level;
        const char* audio;
        const char* rate;
    };
    const Case cases[] = {
        {0, " -ab 320000", " -ar 48000 "}, {1, " -ab 192000", " -ar 44100 "},
        {2, " -ab 128000", " -ar 44100 "}, {3, " -ab 64000", " -ar 22050 "},
        {4, " -ab 32000", " -ar 22050 "},  {5, " -ab 224000", " -ar 48000 "},  // source's 224
    };
    for (const Case& c : cases) {
        choose(1, 2, c.level, 1);
        const intputrec rec = assemble();
        EXPECT_EQ(rec.audioOption, c.audio) << c.level;
        EXPECT_EQ(rec.rateOption, c.rate) << c.level;
    }
}

TEST_F(OptionAssemblyTest, MobileAudioIsAmrMonoAt8000Hz) {
    select(8);  // ".3gp"
    for (int channel : {0, 1}) {
        choose(1, 2, 2, channel);
        const intputrec rec = assemble();
        EXPECT_EQ(rec.audioOption, " -ab 7400");
        EXPECT_EQ(rec.rateOption, " -ar 8000 ");
        EXPECT_EQ(rec.channelOption, " -ac 1 ");
        // The video part leaves out the 7 kbit/s AMR counts for in the total.
        EXPECT_EQ(rec.videoOption, " -r 25 -b 1598000");
    }
    choose(-1, -1, 4, -1);
    EXPECT_EQ(assemble().audioOption, " -ab 4750");
    choose(-1, -1, 5, -1);  // the source's rate: AMR's best
    EXPECT_EQ(assemble().audioOption, " -ab 12200");
}

TEST_F(OptionAssemblyTest, DiscProfilesGetOnlyChannelsAndTheirTarget) {
    struct Case {
        int profile;
        int size;
        const char* target;
        const char* filter;
    };
    // A 4:3 source (a DVD's 720x576) fills every disc's picture: no bars, no -aspect.
    setRecord({"/v/clip.avi", "720x576", "00:01:30", {}, "1800", "224"}, {4.0 / 3, {25, 1}});
    for (const Case& c : {Case{114, 1, " -target ntsc-dvd ", " -vf fps=30000/1001"},
                          Case{112, 0, " -target pal-vcd ", " -vf fps=25"},
                          Case{113, 1, " -target ntsc-svcd ", " -vf fps=30000/1001"}}) {
        select(c.profile);
        selection_->sizeList().userSelect(c.size);
        const intputrec rec = assemble();
        EXPECT_EQ(rec.sizeOption, "") << c.profile;
        EXPECT_EQ(rec.aspectOption, "") << c.profile;
        EXPECT_EQ(rec.videoOption, "") << c.profile;
        EXPECT_EQ(rec.filterOption, c.filter) << c.profile;
        EXPECT_EQ(rec.audioOption, "") << c.profile;
        EXPECT_EQ(rec.rateOption, "") << c.profile;
        EXPECT_EQ(rec.channelOption, " -ac 2") << c.profile;
        EXPECT_EQ(rec.profileArgs, c.target) << c.profile;
    }
}

// The size entry's size (the label cut off), -aspect with at most five significant digits, and
// the picture keeping its shape inside that size: bars worked out from the shapes as shown
// (pixel shape counted); and its own frame rate where the encoder and device allow one.
TEST_F(OptionAssemblyTest, PictureKeepsItsShapeAndMotion) {
    struct Case {
        int profile;
        int entry;  // 0 320x240(QVGA), 1 640x480, 2 720x576, 3 1280x720, 5 the original size
        const char* dimensions;
        double shownAspect;  // 0: as stored
        const char* fps;     // as the probe printed it; empty: not known
        bool stretch;
        const char* size;
        const char* aspect;
        const char* filter;  // and its rate is -r's
        const char* enlarged;
    };
    const Case cases[] = {
        {104, 1, "1280x720", 0, "29.97", false, "640x480", "1.3333",
         "fps=30000/1001,scale=640:360,pad=640:480:0:60", ""},
        {104, 1, "1280x720", 0, "29.97", true, "640x480", "1.3333", "fps=30000/1001", ""},
        {104, 3, "640x480", 0, "25", false, "1280x720", "1.7778",
         "fps=25,scale=960:720,pad=1280:720:160:0", "640x480 to 960x720"},
        // An anamorphic DVD picture: 720x576 shown at 16:9; its own size keeps that shape.
        {104, 2, "720x576", 16.0 / 9, "25", false, "720x576", "1.2500",
         "fps=25,scale=720:406,pad=720:576:0:84", ""},
        {104, 5, "720x576", 16.0 / 9, "25", false, "720x576", "1.7778", "fps=25", ""},
        {104, 5, "2000x150", 0, "25", false, "2000x150", "13.3330", "fps=25", ""},
        {104, 3, "854x480", 0, "30", false, "1280x720", "1.7778", "fps=30", "854x480 to 1280x720"},
        {104, 0, "160x120", 0, "", false, "320x240", "1.3333", "fps=25", "160x120 to 320x240"},
        {110, 1, "640x480", 0, "15", false, "640x480", "1.3333", "fps=30", ""},  // MPEG-1 rates
        {56, 1, "640x480", 0, "59.94", false, "640x480", "1.3333", "fps=30000/1001", ""},  // device
    };
    for (const Case& c : cases) {
        const std::string trace = std::to_string(c.profile) + " " + c.dimensions + " " + c.fps;
        select(c.profile);
        choose(c.entry, 2, 2, 1);
        setRecord({"/v/clip.avi", c.dimensions, "00:01:30", {}, "1800", "224"},
                  {c.shownAspect,
                   orvex::encoder::FrameRate::parse(c.fps).value_or(orvex::encoder::FrameRate{})});
        intputrec rec;
        QString error;
        ASSERT_TRUE(assembleOptions(*selection_, jobs_, row_, rec, &error, c.stretch)) << trace;
        EXPECT_EQ(rec.sizeOption, QStringLiteral(" -s ") + c.size) << trace;
        EXPECT_EQ(rec.aspectOption, QStringLiteral(" -aspect ") + c.aspect) << trace;
        EXPECT_EQ(rec.filterOption, QStringLiteral(" -vf ") + c.filter) << trace;
        const QString rate = QString(c.filter).section(',', 0, 0).mid(4);
        EXPECT_TRUE(rec.videoOption.startsWith(" -r " + rate + " -b ")) << trace;
        EXPECT_EQ(rec.note,
                  *c.enlarged ? "the picture is enlarged from " + QString(c.enlarged) : QString())
            << trace;
    }
}

TEST_F(OptionAssemblyTest, ListRangeProfiles) {
    select(27);
    choose(0, 0, 2, 0);
    intputrec rec = assemble();
    EXPECT_EQ(rec.videoOption, " -r 25 -b 800000");
    EXPECT_EQ(rec.channelOption, " -ac 1");
    EXPECT_EQ(rec.profileArgs, " -codec27");

    select(17);  // audio-only: no video option, the rest as usual
    choose(-1, -1, 1, 1);
    rec = assemble();
    EXPECT_EQ(rec.videoOption, "");
    EXPECT_EQ(rec.sizeOption, "");
    EXPECT_EQ(rec.aspectOption, "");
    EXPECT_EQ(rec.audioOption, " -ab 192000");
    EXPECT_EQ(rec.rateOption, " -ar 44100 ");
    EXPECT_EQ(rec.profileArgs, " -codec17");
}

TEST_F(OptionAssemblyTest, OriginalVideoRateComesFromTheRow) {
    select(2);
    choose(1, 5, 2, 1);
    EXPECT_EQ(assemble().videoOption, " -r 25 -b 1800000");
}

TEST_F(OptionAssemblyTest, OriginalAudioRateComesFromTheRowAndZeroMeansUnknown) {
    select(2);
    choose(1, 2, 5, 1);
    EXPECT_EQ(assemble().audioOption, " -ab 224000");
    // An encoder asked for 0 bit/s fails (wmav2); an unknown rate is taken as 128 kbit/s.
    setRecord({"/v/clip.avi", "720x576", "00:01:30", {}, "1800", "0"});
    EXPECT_EQ(assemble().audioOption, " -ab 128000");
    EXPECT_EQ(plan().totalKbps, 1598 + 128);
}

TEST_F(OptionAssemblyTest, ZeroHeightOrNoSizeKeepsTheSourceSize) {
    select(3);
    choose(0, 2, 2, 1);  // 640x0
    intputrec rec = assemble();
    EXPECT_EQ(rec.sizeOption, "");
    EXPECT_EQ(rec.aspectOption, "");
    EXPECT_EQ(rec.videoOption, "");  // no height, no derived rate
    EXPECT_EQ(rec.audioOption, " -ab 128000");
    choose(1, -1, -1, -1);  // "QCIF"
    rec = assemble();
    EXPECT_EQ(rec.sizeOption, "");
    EXPECT_EQ(rec.videoOption, "");
}

TEST_F(OptionAssemblyTest, MalformedValuesFailWithAMessageAndLeaveTheRecordAlone) {
    struct Case {
        int profile;
        int size;
        int video;
        int audio;
        Toriginalinfo info;
        const char* mentioned;
    };
    const Case cases[] = {
        {2, 5, 2, 2, {"/v/a", "720by576", "00:00:10", {}, "1", "1"}, "720by576"},
        {2, 5, 2, 2, {"/v/a", "x576", "00:00:10", {}, "1", "1"}, "x576"},
        {2, 1, 5, 2, {"/v/a", "720x576", "00:00:10", {}, "N/A", "1"}, "N/A"},
        {2, 1, 2, 5, {"/v/a", "720x576", "00:00:10", {}, "1", "12.5"}, "12.5"},
        {2, 1, 2, 5, {"/v/a", "720x576", "00:00:10", {}, "1", "-3"}, "-3"},
        {6, 0, 2, 2, {"/v/a", "720x576", "00:00:10", {}, "1", "1"}, "abcx240"},
    };
    for (const Case& c : cases) {
        select(c.profile);
        choose(c.size, c.video, c.audio, 1);
        setRecord(c.info);
        intputrec rec;
        rec.videoOption = "untouched";
        QString error;
        EXPECT_FALSE(assembleOptions(*selection_, jobs_, row_, rec, &error)) << c.mentioned;
        EXPECT_TRUE(error.contains(c.mentioned)) << error.toStdString();
        EXPECT_EQ(rec.videoOption, "untouched") << c.mentioned;
    }
    intputrec rec;
    QString error;
    EXPECT_FALSE(assembleOptions(*selection_, jobs_, 7, rec, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(OptionAssemblyTest, NothingSelectedYetIsAnError) {
    intputrec rec;
    QString error;
    EXPECT_FALSE(assembleOptions(*selection_, jobs_, row_, rec, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(OptionAssemblyTest, OptionsFollowTheSelectedProfileNotTheHoveredOne) {
    select(2);
    choose(1, 2, 2, 1);
    selection_->setCurrentProfile(114);
    const intputrec rec = assemble();
    EXPECT_EQ(rec.videoOption, " -r 25 -b 1598000");
    EXPECT_EQ(rec.profileArgs, " -codec2");
}

TEST_F(OptionAssemblyTest, VideoAndAudioOptionsAddUpToTheEstimatedTotal) {
    for (int profile : {2, 8, 27, 118, 123}) {
        select(profile);
        for (int video = 0; video < selection_->videoList().count(); ++video) {
            for (int audio = 0; audio < selection_->audioList().count(); ++audio) {
                choose(1, video, audio, 1);
                const intputrec rec = assemble();
                const qint64 videoBits =
                    rec.videoOption.isEmpty() ? 0 : rec.videoOption.mid(10).toLongLong();
                const RatePlan parts = plan();
                EXPECT_EQ(videoBits / 1000 + parts.audioKbps, parts.totalKbps)
                    << profile << " " << video << " " << audio;
            }
        }
    }
}

}  // namespace
