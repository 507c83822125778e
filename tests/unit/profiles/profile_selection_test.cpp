#include "core/profiles/profile_selection.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <map>
#include <memory>

#include "../../support/qt_gtest.h"
#include "core/engine/job_list.h"
#include "core/profiles/output_estimates.h"
#include "core/profiles/profile_catalog.h"

namespace {

struct RecordLines {
    QByteArray sizes;
    QByteArray rates;
    QByteArray codec;
};

// A profiles.pop of 131 records shaped like the real one: audio-only profiles without sizes
// and with rate "*", disc profiles, list-range and derived-range video profiles.
QByteArray popText(const std::map<int, RecordLines>& overrides) {
    QByteArray text;
    for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
        RecordLines r;
        if (ProfileCatalog::isAudioOnly(n)) {
            r = {"", "*", " -acodec a" + QByteArray::number(n)};
        } else if (ProfileCatalog::isDiscProfile(n)) {
            r = {"352x288 352x240", "1150", ""};
        } else if (ProfileCatalog::isListRange(n)) {
            r = {"320x240(QVGA) 640x480 176x144", "150 250 400 600 800",
                 " -vcodec l" + QByteArray::number(n)};
        } else {
            r = {"320x240(QVGA) 640x480 720x576 1280x720 176x144", "150 250 400 600 800",
                 " -vcodec d" + QByteArray::number(n)};
        }
        if (auto it = overrides.find(n); it != overrides.end()) {
            r = it->second;
        }
        text += "title " + QByteArray::number(n) + "\n" + r.sizes + "\n" + r.rates + "\n" +
                r.codec + "\n";
    }
    return text;
}

// What the window shows of the selection.
struct FakeDisplay {
    QStringList texts;
    QList<int> categories;
};

class ProfileSelectionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        popPath_ = dir_.filePath("profiles.pop");
        writePop({{26, {"111x222 333x444", "10 20 30 40 50", " -blank"}},
                  {27, {"320x240 640x480", "150 250 872 1200 1500", " -vcodec l27"}}});
    }

    void writePop(const std::map<int, RecordLines>& overrides) {
        QFile file(popPath_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(popText(overrides));
    }

    QString iniPath() const { return dir_.filePath("pro orvex.ini"); }
    QByteArray iniContents() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Built on first use, so a test can choose the program's name first; wired as a session
    // wires it.
    ProfileSelection& selection() {
        if (!selection_) {
            store_ = std::make_unique<IniChoicesStore>(platform::IniFile(iniPath()));
            selection_ = std::make_unique<ProfileSelection>(programName_, *store_, popPath_);
            estimates_ = std::make_unique<OutputEstimates>(*selection_, jobs_);
            QObject::connect(selection_.get(), &ProfileSelection::profileSelected, estimates_.get(),
                             &OutputEstimates::refreshEstimates);
            QObject::connect(selection_.get(), &ProfileSelection::choicesChanged, estimates_.get(),
                             &OutputEstimates::refreshEstimates);
            QObject::connect(selection_.get(), &ProfileSelection::displayNameShown,
                             [this](const QString& name) { display_.texts.append(name); });
            QObject::connect(selection_.get(), &ProfileSelection::categoryPictureShown,
                             [this](int category) { display_.categories.append(category); });
        }
        return *selection_;
    }

    std::optional<RatePlan> plan(int row, QString* error = nullptr) {
        return planRates(selection().rateChoices(), jobs_.jobInfo(row), error);
    }
    std::optional<int> total(int row) {
        const std::optional<RatePlan> p = plan(row);
        return p ? std::optional<int>(p->totalKbps) : std::nullopt;
    }
    QString estimate(int row) {
        selection();
        return estimates_->estimateOutputSize(row);
    }

    void select(int number) {
        QString error;
        ASSERT_TRUE(selection().selectProfile(number, &error)) << error.toStdString();
    }

    int addRow(const QString& dimensions, const QString& duration, const QString& videoKbps = "900",
               const QString& audioKbps = "128") {
        JobList::Row row;
        row.caption = "clip";
        row.info = {"/v/clip.avi", dimensions, duration, {}, videoKbps, audioKbps};
        row.texts = {dimensions, duration, {}};
        return jobs_.addRow(row);
    }

    QTemporaryDir dir_;
    QString popPath_;
    QString programName_ = "orvex";
    JobList jobs_;
    FakeDisplay display_;
    std::unique_ptr<ChoicesStore> store_;
    std::unique_ptr<ProfileSelection> selection_;
    std::unique_ptr<OutputEstimates> estimates_;
};

TEST_F(ProfileSelectionTest, Profile2VideoEditionOffersAndChoosesTheOriginals) {
    select(2);
    ProfileSelection& s = selection();
    EXPECT_EQ(s.sizeList().count(), 6);
    EXPECT_EQ(s.sizeList().lastItem(), "The original width and height");
    EXPECT_EQ(s.sizeList().itemIndex(), 4);
    EXPECT_EQ(s.videoList().currentText(), "The Original Video Quliay");
    EXPECT_EQ(s.audioList().currentText(), "The Original Audio Quliay");
    EXPECT_EQ(s.channelList().currentText(), "Stereo");
    EXPECT_EQ(s.profileArgs(), " -vcodec d2");
    EXPECT_EQ(s.extension(), ".avi");
    EXPECT_EQ(s.previousProfile(), 2);
    EXPECT_EQ(display_.texts.last(), "AVI-DivX Movie(*.avi)");
}

TEST_F(ProfileSelectionTest, Profile2DvdEditionHasNoOriginalQualities) {
    programName_ = "orvex-DVD";
    select(2);
    ProfileSelection& s = selection();
    EXPECT_EQ(s.sizeList().itemIndex(), 4);
    EXPECT_EQ(s.videoList().count(), 5);
    EXPECT_EQ(s.audioList().count(), 5);
    EXPECT_EQ(s.videoList().currentText(), "Normal");
    EXPECT_EQ(s.audioList().currentText(), "Normal");
    EXPECT_EQ(s.channelList().currentText(), "Stereo");
}

TEST_F(ProfileSelectionTest, Mp4RemovesTheOriginalsAndOutOfRangeDefaultsFallBack) {
    select(2);
    select(4);
    ProfileSelection& s = selection();
    EXPECT_EQ(s.videoList().count(), 5);
    EXPECT_EQ(s.audioList().count(), 5);
    EXPECT_FALSE(s.sizeList().items().contains("The original width and height"));
    // Default 5 points past these lists: quality falls back to "Normal", size to the last entry.
    EXPECT_EQ(s.videoList().currentText(), "Normal");
    EXPECT_EQ(s.audioList().currentText(), "Normal");
    EXPECT_EQ(s.sizeList().itemIndex(), s.sizeList().count() - 1);

    // A stored value the list cannot take gives the profile's default, and says so once.
    QStringList said;
    QObject::connect(&s, &ProfileSelection::problem, [&said](const QString& t) { said << t; });
    platform::IniFile(iniPath()).writeInt("2", "video bitrate", 42);
    platform::IniFile(iniPath()).writeInt("2", "size", -7);
    platform::IniFile(iniPath()).writeString("2", "Channel",
                                             "\x01"
                                             "binary");
    // Storing 4's choices on the way back must not disturb section 2.
    select(2);
    EXPECT_EQ(s.videoList().currentText(), "The Original Video Quliay");
    EXPECT_EQ(s.sizeList().itemIndex(), 4) << "the default, not the last entry";
    EXPECT_EQ(s.channelList().currentText(), "Stereo");
    ASSERT_EQ(said.size(), 3) << said.join('\n').toStdString();
    EXPECT_EQ(said[0], iniPath() +
                           " holds an unusable size in [2] (\"-7\"); the profile's "
                           "default is used instead.");
    EXPECT_TRUE(said[2].contains("(\"?binary\")")) << said[2].toStdString();
    select(4);
    select(2);  // the values it stored are usable again
    EXPECT_EQ(said.size(), 3);
}

TEST_F(ProfileSelectionTest, UpperCaseMp4StillOffersTheOriginals) {
    select(123);
    ProfileSelection& s = selection();
    EXPECT_EQ(s.extension(), ".MP4");
    EXPECT_EQ(s.videoList().lastItem(), "The Original Video Quliay");
    EXPECT_EQ(s.audioList().lastItem(), "The Original Audio Quliay");
    // Above 111 the source's own size is never offered.
    EXPECT_FALSE(s.sizeList().items().contains("The original width and height"));
}

TEST_F(ProfileSelectionTest, DiscProfileUsesPalNtscAndItsFixedTotal) {
    const int row = addRow("640x480", "00:01:00");
    select(2);
    select(113);
    ProfileSelection& s = selection();
    EXPECT_EQ(s.sizeList().items(), QStringList({"PAL", "NTSC"}));
    EXPECT_TRUE(s.sizeList().isEnabled());
    EXPECT_FALSE(s.videoList().isEnabled());
    EXPECT_FALSE(s.audioList().isEnabled());
    EXPECT_FALSE(s.channelList().isEnabled());
    EXPECT_EQ(total(row), 1948);
    EXPECT_EQ(jobs_.subItem(row, JobList::OutputSizeColumn), "13.93MB");

    select(2);  // every list comes back
    EXPECT_TRUE(s.videoList().isEnabled());
    EXPECT_TRUE(s.channelList().isEnabled());
}

TEST_F(ProfileSelectionTest, AudioProfilesShareOneNoVideoEntryAndAVideoProfileRemovesIt) {
    select(2);
    select(15);
    select(17);
    ProfileSelection& s = selection();
    EXPECT_EQ(s.videoList().items().count("No Video"), 1);
    EXPECT_EQ(s.videoList().currentText(), "No Video");
    EXPECT_FALSE(s.videoList().items().contains("The Original Video Quliay"));
    EXPECT_FALSE(s.audioList().items().contains("The Original Audio Quliay"));
    EXPECT_FALSE(s.sizeList().isEnabled());
    EXPECT_FALSE(s.videoList().isEnabled());
    EXPECT_EQ(s.sizeList().items(), QStringList({"No Video"}));
    EXPECT_EQ(s.videoRates()[0], "*");

    const int row = addRow("640x480", "00:01:00");
    EXPECT_EQ(total(row), 128);  // audio alone at "Normal"

    select(27);
    EXPECT_FALSE(s.videoList().items().contains("No Video"));
    EXPECT_EQ(s.videoList().count(), 5);
    EXPECT_TRUE(s.sizeList().isEnabled());
    EXPECT_TRUE(s.videoList().isEnabled());
    EXPECT_EQ(s.videoRates()[0], "1500");
}

TEST_F(ProfileSelectionTest, AVideoProfileWithAShortRateLineDoesNotInheritTheNoVideoMark) {
    writePop({{28, {"320x240 640x480", "150 250 400", " -vcodec l28"}}});
    const int row = addRow("640x480", "00:01:00");
    select(15);
    select(28);
    ProfileSelection& s = selection();
    EXPECT_NE(s.videoRates()[0], "*");
    EXPECT_EQ(total(row), 400 + 128);
}

TEST_F(ProfileSelectionTest, ListRangeProfileDoesNotKeepOriginalEntriesOfTheProfileBefore) {
    select(2);
    select(27);
    ProfileSelection& s = selection();
    EXPECT_EQ(s.videoList().count(), 5);
    EXPECT_EQ(s.audioList().count(), 5);
}

TEST_F(ProfileSelectionTest, EachProfileStoresAndRestoresItsOwnSection) {
    ProfileSelection& s = selection();
    select(107);
    s.sizeList().userSelect(1);
    s.videoList().userSelect(0);
    s.channelList().userSelect(0);
    select(108);
    s.sizeList().userSelect(2);
    select(107);
    EXPECT_EQ(s.sizeList().itemIndex(), 1);
    EXPECT_EQ(s.videoList().itemIndex(), 0);
    EXPECT_EQ(s.channelList().currentText(), "Mono");

    platform::IniFile ini(iniPath());
    EXPECT_EQ(ini.readInt("107", "size", -1), 1);
    EXPECT_EQ(ini.readInt("108", "size", -1), 2);
    EXPECT_EQ(ini.readInt("108", "video bitrate", -1), 5);

    select(108);
    EXPECT_EQ(s.sizeList().itemIndex(), 2);
    EXPECT_EQ(s.videoList().itemIndex(), 5);
}

TEST_F(ProfileSelectionTest, AudioOnlyProfilesStoreOnlyAudioAndChannel) {
    ProfileSelection& s = selection();
    select(20);
    s.audioList().userSelect(0);
    select(2);
    platform::IniFile ini(iniPath());
    EXPECT_EQ(ini.readInt("20", "audio bitrate", -1), 0);
    EXPECT_EQ(ini.readInt("20", "Channel", -1), 1);
    EXPECT_EQ(ini.readString("20", "size", "none"), "none");
    EXPECT_EQ(ini.readString("20", "video bitrate", "none"), "none");
}

TEST_F(ProfileSelectionTest, Profile131RemembersItsChoices) {
    ProfileSelection& s = selection();
    select(131);
    EXPECT_EQ(s.sizeList().itemIndex(), 4);
    s.sizeList().userSelect(0);
    select(130);
    select(131);
    EXPECT_EQ(s.sizeList().itemIndex(), 0);
}

TEST_F(ProfileSelectionTest, ListChangesRefreshEstimatesAndWriteNothing) {
    const int row = addRow("640x480", "00:01:00");
    select(2);
    ProfileSelection& s = selection();
    s.sizeList().userSelect(1);
    s.videoList().userSelect(2);
    s.audioList().userSelect(2);
    const QByteArray before = iniContents();
    const QString estimate = jobs_.subItem(row, JobList::OutputSizeColumn);

    s.videoList().userSelect(0);  // 640x480 at 6.25 kbit/s per line: 3000 + 128
    EXPECT_NE(jobs_.subItem(row, JobList::OutputSizeColumn), estimate);
    s.sizeList().userSelect(0);
    s.audioList().userSelect(4);
    s.channelList().userSelect(0);
    EXPECT_EQ(total(row), 1500 + 32);
    EXPECT_EQ(iniContents(), before);
}

TEST_F(ProfileSelectionTest, HeightDerivedVideoRate) {
    const int row = addRow("640x480", "00:01:00");
    ProfileSelection& s = selection();
    struct Case {
        int profile;
        int videoKbps;
    };
    for (const Case& c : {Case{2, 1598}, Case{118, 725}, Case{121, 725}, Case{123, 3000}}) {
        select(c.profile);
        s.sizeList().userSelect(1);  // 640x480
        s.videoList().userSelect(2);
        const auto parts = plan(row);
        ASSERT_TRUE(parts) << c.profile;
        EXPECT_EQ(parts->videoKbps, c.videoKbps) << c.profile;
    }
}

TEST_F(ProfileSelectionTest, OriginalSizeAndOriginalRatesComeFromTheRow) {
    const int row = addRow("720x576", "00:01:00", "1800", "224");
    select(2);
    ProfileSelection& s = selection();
    s.sizeList().userSelect(5);  // the original width and height
    s.videoList().userSelect(2);
    s.audioList().userSelect(5);
    EXPECT_EQ(total(row), 1918 + 224);  // 576 x 3.33 = 1918.08
    s.videoList().userSelect(5);
    EXPECT_EQ(total(row), 1800 + 224);

    const int broken = addRow("unknown", "00:01:00", "N/A", "224");
    QString error;
    EXPECT_FALSE(plan(broken, &error));
    EXPECT_TRUE(error.contains("N/A"));
    EXPECT_EQ(estimate(broken), "");
    s.videoList().userSelect(2);
    EXPECT_FALSE(total(broken));
}

TEST_F(ProfileSelectionTest, SizeEntryWithoutAHeightCountsAsNoVideoRate) {
    writePop({{3, {"640x480 QCIF 640xabc", "150 250 400 600 800", ""}}});
    const int row = addRow("640x480", "00:01:00");
    select(3);
    ProfileSelection& s = selection();
    s.videoList().userSelect(2);
    s.audioList().userSelect(2);
    s.sizeList().userSelect(1);
    EXPECT_EQ(total(row), 128);
    s.sizeList().userSelect(2);
    EXPECT_EQ(total(row), 128);
}

TEST_F(ProfileSelectionTest, AmrRatesForMobileAudioExtensions) {
    const int row = addRow("176x144", "00:01:00");
    select(8);
    ProfileSelection& s = selection();
    s.videoList().userSelect(2);
    s.sizeList().userSelect(4);  // 176x144: 144 x 3.33 = 480 (479.52)
    const int video = 480;
    struct Case {
        int level;
        int audioKbps;
        qint64 bits;
    };
    for (const Case& c : {Case{0, 12, 12200}, Case{1, 10, 10200}, Case{2, 7, 7400},
                          Case{3, 6, 5900}, Case{4, 5, 4750}, Case{5, 12, 12200}}) {
        s.audioList().userSelect(c.level);
        const auto parts = plan(row);
        ASSERT_TRUE(parts) << c.level;
        EXPECT_EQ(parts->audioKbps, c.audioKbps) << c.level;
        EXPECT_EQ(parts->audioBitsPerSecond, c.bits) << c.level;
        EXPECT_EQ(parts->totalKbps, video + c.audioKbps) << c.level;
    }
}

TEST_F(ProfileSelectionTest, EstimateText) {
    ProfileSelection& s = selection();
    select(27);  // "Normal": 872 + 128 = 1000 kbit/s
    s.videoList().userSelect(2);
    s.audioList().userSelect(2);
    struct Case {
        const char* duration;
        const char* text;
    };
    const Case cases[] = {
        {"00:01:00", "7.15MB"},
        {"00:00:00", "0.00MB"},
        {"01:00:00", "429.15MB"},
        {"garbage!", "0.00MB"},
    };
    for (const Case& c : cases) {
        const int row = addRow("640x480", c.duration);
        EXPECT_EQ(estimate(row), c.text) << c.duration;
    }
}

TEST_F(ProfileSelectionTest, LongRunsAtHighRatesDoNotOverflowAndUseExponentForm) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int row = addRow("640x480", "99:59:59", "100000", "128");
    select(2);
    ProfileSelection& s = selection();
    s.videoList().userSelect(5);
    s.audioList().userSelect(2);
    // 100128 kbit/s x 359999 s is beyond 32 bits: 4296.7... thousand MB.
    EXPECT_EQ(estimate(row), "4.2970E+06MB");
    s.videoList().userSelect(2);
    s.sizeList().userSelect(1);  // 1598 + 128 kbit/s for 100 hours: 74.07 thousand MB
    EXPECT_EQ(estimate(row), "74072.00MB");
    QLocale::setDefault(QLocale::c());
}

TEST_F(ProfileSelectionTest, BlankSlotKeepsTheNameButAppliesItsRecord) {
    select(2);
    select(26);
    ProfileSelection& s = selection();
    EXPECT_EQ(s.currentDisplayName(), "AVI-DivX Movie(*.avi)");
    EXPECT_EQ(display_.texts.last(), "AVI-DivX Movie(*.avi)");
    EXPECT_EQ(s.sizeList().items(), QStringList({"111x222", "333x444"}));
    EXPECT_EQ(s.profileArgs(), " -blank");
    EXPECT_EQ(s.previousProfile(), 26);
    // Nothing is stored for a slot without a section, and no list is left without a choice.
    EXPECT_GE(s.sizeList().itemIndex(), 0);
    EXPECT_GE(s.videoList().itemIndex(), 0);
    EXPECT_GE(s.audioList().itemIndex(), 0);
    select(2);
    EXPECT_EQ(platform::IniFile(iniPath()).readString("26", "size", "none"), "none");
}

TEST_F(ProfileSelectionTest, MissingProfileFileChangesNothingAndSaysWhy) {
    select(2);
    ProfileSelection& s = selection();
    const QStringList sizes = s.sizeList().items();
    ASSERT_TRUE(QFile::remove(popPath_));
    QString error;
    EXPECT_FALSE(s.selectProfile(4, &error));
    EXPECT_TRUE(error.contains("profiles.pop")) << error.toStdString();
    EXPECT_EQ(s.sizeList().items(), sizes);
    EXPECT_EQ(s.previousProfile(), 2);
    EXPECT_EQ(s.activeProfile(), 2);
    EXPECT_EQ(s.currentDisplayName(), "AVI-DivX Movie(*.avi)");
    EXPECT_EQ(s.profileArgs(), " -vcodec d2");
}

TEST_F(ProfileSelectionTest, ACutFileIsRefusedAndChangesNothing) {
    ProfileSelection& s = selection();
    select(2);
    const QStringList sizes = s.sizeList().items();
    // Profile 131 is the last record; cut the file inside it, after its size line.
    QByteArray text = popText({});
    text.chop(text.size() - text.lastIndexOf("title 131"));
    text += "title 131\n640x480 1280x720\n";
    QFile file(popPath_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
    file.close();
    QString error;
    EXPECT_FALSE(s.selectProfile(131, &error));
    EXPECT_TRUE(error.contains("record 131")) << error.toStdString();
    EXPECT_EQ(s.sizeList().items(), sizes);
    EXPECT_EQ(s.profileArgs(), " -vcodec d2");
}

TEST_F(ProfileSelectionTest, HoveringDoesNotMoveSizingAwayFromTheSelectedProfile) {
    const int row = addRow("640x480", "00:01:00");
    select(2);
    ProfileSelection& s = selection();
    const std::optional<int> before = total(row);
    s.setCurrentProfile(113);
    EXPECT_EQ(s.activeProfile(), 2);
    EXPECT_EQ(total(row), before);
}

TEST_F(ProfileSelectionTest, CategoryPictureOnlyForKnownCategories) {
    ProfileSelection& s = selection();
    s.setCategory(3);
    select(27);
    s.setCategory(0);
    select(28);
    EXPECT_EQ(display_.categories, QList<int>({3}));
}

}  // namespace
