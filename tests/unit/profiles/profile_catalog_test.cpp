#include "core/profiles/profile_catalog.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ProfileCatalogTest, BlankSlotsAreExactlyTheUnnamedNumbers) {
    const std::set<int> blanks = {26, 33, 40, 45, 52, 59, 67, 74, 82, 90, 98, 101, 109, 117, 124};
    for (int n = ProfileCatalog::kFirstProfile; n <= ProfileCatalog::kLastProfile; ++n) {
        const bool blank = blanks.count(n) > 0;
        EXPECT_EQ(ProfileCatalog::isBlankSlot(n), blank) << n;
        EXPECT_EQ(ProfileCatalog::displayNameOf(n).has_value(), !blank) << n;
        EXPECT_EQ(ProfileCatalog::defaultChoicesOf(n, false).isEmpty(), blank) << n;
        EXPECT_EQ(ProfileCatalog::defaultChoicesOf(n, true).isEmpty(), blank) << n;
    }
    for (int n : {-1, 0, 132}) {
        EXPECT_FALSE(ProfileCatalog::displayNameOf(n)) << n;
        EXPECT_FALSE(ProfileCatalog::isBlankSlot(n)) << n;
        EXPECT_TRUE(ProfileCatalog::defaultChoicesOf(n, false).isEmpty()) << n;
    }
}

TEST(ProfileCatalogTest, NamesKeepTheirWideCharactersAndTypos) {
    EXPECT_EQ(*ProfileCatalog::displayNameOf(27), QString::fromUtf8("iPod(320\xC3\x97"
                                                                    "240)MPEG-4 Codec(*.mp4)"));
    EXPECT_TRUE(ProfileCatalog::displayNameOf(47)->contains(QChar(0x00D7)));
    EXPECT_EQ(*ProfileCatalog::displayNameOf(16), "AC3-Dolby Dingtal AC-3(*.ac3)");
    EXPECT_EQ(*ProfileCatalog::displayNameOf(131), "MKV - WMV Movie(*.mkv)");
}

TEST(ProfileCatalogTest, ExtensionIsTheTextAfterTheStarWithoutTheClosingCharacter) {
    struct Case {
        const char* name;
        const char* extension;
    };
    const Case cases[] = {
        {"AVI - XviD Movie(*.avi)", ".avi"},
        {"MP4 - H.264 Video Excellent(*.MP4)", ".MP4"},
        {"Apple TV MPEG-4 (320x240)(*.mp4)", ".mp4"},
        {"Odd*name(*.ts)", "name(*.ts"},  // the first "*" counts
        {"No star at all", ""},
        {"Ends on star*", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProfileCatalog::extensionOf(QString::fromUtf8(c.name)), c.extension) << c.name;
    }
    EXPECT_FALSE(ProfileCatalog::isMp4Extension(
        ProfileCatalog::extensionOf(*ProfileCatalog::displayNameOf(123))));
    EXPECT_FALSE(ProfileCatalog::isMp4Extension(
        ProfileCatalog::extensionOf(*ProfileCatalog::displayNameOf(53))));
}

TEST(ProfileCatalogTest, EveryNamedProfileHasADottedExtension) {
    for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
        if (const auto name = ProfileCatalog::displayNameOf(n)) {
            const QString ext = ProfileCatalog::extensionOf(*name);
            EXPECT_TRUE(ext.startsWith('.') && ext.size() >= 3) << n << " " << ext.toStdString();
            EXPECT_FALSE(ext.contains(')')) << n;
        }
    }
}

TEST(ProfileCatalogTest, CategoriesAndGroups) {
    struct Case {
        int number;
        int category;
        const char* group;
    };
    const Case cases[] = {{1, 1, "General video"},
                          {14, 1, "General video"},
                          {15, 2, "Audio"},
                          {26, 2, "Audio"},
                          {27, 3, "iPod"},
                          {45, 5, "GPhone"},
                          {67, 8, "Xbox 360"},
                          {101, 13, "Animation"},
                          {102, 1, "AVI"},
                          {117, 1, "MPEG"},
                          {124, 1, "MP4"},
                          {131, 1, "MKV"},
                          {0, 0, ""},
                          {132, 0, ""}};
    for (const Case& c : cases) {
        EXPECT_EQ(ProfileCatalog::categoryOf(c.number), c.category) << c.number;
        EXPECT_EQ(ProfileCatalog::groupOf(c.number), c.group) << c.number;
    }
}

QList<int> defaultIndexes(int number, bool dvd) {
    QList<int> indexes;
    for (const ChoiceDefault& d : ProfileCatalog::defaultChoicesOf(number, dvd)) {
        indexes.append(d.index);
    }
    return indexes;
}

TEST(ProfileCatalogTest, DefaultChoicesByEdition) {
    struct Case {
        int number;
        QList<int> video;  // size, video, audio, channel (audio-only: audio, channel)
        QList<int> dvd;
    };
    const Case cases[] = {
        {1, {0, 5, 5, 1}, {0, 2, 2, 1}},
        {2, {4, 5, 5, 1}, {4, 2, 2, 1}},
        {4, {5, 5, 5, 1}, {2, 2, 2, 1}},
        {7, {1, 5, 5, 1}, {1, 2, 2, 1}},
        {8, {2, 5, 5, 1}, {2, 2, 2, 1}},
        {15, {2, 1}, {2, 1}},
        {71, {2, 1}, {2, 1}},
        {80, {2, 1}, {2, 1}},
        {27, {0, 2, 2, 1}, {0, 2, 2, 1}},
        {55, {2, 2, 2, 1}, {2, 2, 2, 1}},
        {89, {1, 2, 2, 1}, {1, 2, 2, 1}},
        {99, {4, 2, 2, 1}, {4, 2, 2, 1}},
        {110, {5, 5, 5, 1}, {2, 2, 2, 1}},
        {111, {2, 5, 5, 1}, {2, 2, 2, 1}},
        {114, {0, 5, 5, 1}, {0, 2, 2, 1}},
        {115, {0, 2, 2, 1}, {0, 2, 2, 1}},
        {123, {5, 2, 2, 1}, {2, 2, 2, 1}},
        {130, {4, 5, 5, 1}, {4, 2, 2, 1}},
        {131, {4, 5, 5, 1}, {4, 2, 2, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(defaultIndexes(c.number, false), c.video) << c.number;
        EXPECT_EQ(defaultIndexes(c.number, true), c.dvd) << c.number;
    }
    const QList<ChoiceDefault> audioOnly = ProfileCatalog::defaultChoicesOf(20, false);
    ASSERT_EQ(audioOnly.size(), 2);
    EXPECT_EQ(audioOnly[0].key, "audio bitrate");
    EXPECT_EQ(audioOnly[1].key, "Channel");
    const QList<ChoiceDefault> video = ProfileCatalog::defaultChoicesOf(2, false);
    ASSERT_EQ(video.size(), 4);
    EXPECT_EQ(video[0].key, "size");
    EXPECT_EQ(video[1].key, "video bitrate");
}

TEST(ProfileCatalogTest, RangesAtTheirEdges) {
    EXPECT_FALSE(ProfileCatalog::isListRange(14));
    EXPECT_TRUE(ProfileCatalog::isListRange(15));
    EXPECT_TRUE(ProfileCatalog::isListRange(101));
    EXPECT_FALSE(ProfileCatalog::isListRange(102));
    EXPECT_TRUE(ProfileCatalog::isDerivedRange(14));
    EXPECT_TRUE(ProfileCatalog::isDerivedRange(102));
    EXPECT_FALSE(ProfileCatalog::isDiscProfile(111));
    EXPECT_TRUE(ProfileCatalog::isDiscProfile(112));
    EXPECT_TRUE(ProfileCatalog::isDiscProfile(114));
    EXPECT_FALSE(ProfileCatalog::isDiscProfile(115));
    EXPECT_TRUE(ProfileCatalog::isAudioOnly(25));
    EXPECT_FALSE(ProfileCatalog::isAudioOnly(26));
    EXPECT_TRUE(ProfileCatalog::isMobileAudioExtension(".3gp"));
    EXPECT_TRUE(ProfileCatalog::isMobileAudioExtension(".amr"));
    EXPECT_FALSE(ProfileCatalog::isMobileAudioExtension(".3GP"));
    EXPECT_FALSE(ProfileCatalog::isMobileAudioExtension(".3g2"));
}

}  // namespace
