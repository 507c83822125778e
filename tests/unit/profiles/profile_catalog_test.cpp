#include "core/profiles/profile_catalog.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>

#include "../../support/qt_gtest.h"

namespace {

QString defaultsText(int number, bool dvd) {
    QStringList indexes;
    for (const ChoiceDefault& d : ProfileCatalog::defaultChoicesOf(number, dvd)) {
        indexes << QString::number(d.index);
    }
    return indexes.isEmpty() ? QStringLiteral("-") : indexes.join(',');
}

// The catalog as the program holds it, one line per number in the golden table's shape.
QString catalogLine(int n) {
    const std::optional<QString> name = ProfileCatalog::displayNameOf(n);
    return QStringList{QString::number(n),
                       name.value_or("-"),
                       name ? ProfileCatalog::extensionOf(*name) : "-",
                       QString::number(ProfileCatalog::categoryOf(n)),
                       ProfileCatalog::groupOf(n),
                       defaultsText(n, false),
                       defaultsText(n, true)}
        .join('\t');
}

// Every number's name, extension, category, group and both editions' defaults, against a table
// reviewed by hand (catalog.golden.tsv beside this file).
TEST(ProfileCatalogTest, WholeCatalogMatchesTheReviewedTable) {
    QFile golden(QStringLiteral(ORVEX_TESTS_DIR "/unit/profiles/catalog.golden.tsv"));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList expected;
    for (const QString& line : QString::fromUtf8(golden.readAll()).split('\n')) {
        if (!line.isEmpty() && !line.startsWith('#')) {
            expected << line;
        }
    }
    ASSERT_EQ(expected.size(), ProfileCatalog::kLastProfile);
    for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
        EXPECT_EQ(catalogLine(n), expected[n - 1]);
    }
    for (int n : {-1, 0, 132}) {
        EXPECT_FALSE(ProfileCatalog::displayNameOf(n)) << n;
        EXPECT_FALSE(ProfileCatalog::isBlankSlot(n)) << n;
        EXPECT_EQ(ProfileCatalog::categoryOf(n), 0) << n;
        EXPECT_TRUE(ProfileCatalog::defaultChoicesOf(n, false).isEmpty()) << n;
    }
    const QList<ChoiceDefault> keys = ProfileCatalog::defaultChoicesOf(2, false);
    ASSERT_EQ(keys.size(), 4);
    EXPECT_EQ(QStringList({keys[0].key, keys[1].key, keys[2].key, keys[3].key}),
              QStringList({"size", "video bitrate", "audio bitrate", "Channel"}));
}

TEST(ProfileCatalogTest, RateTablesAndTheRowEachProfileUses) {
    using Row = std::array<double, ProfileCatalog::kQualityLevels>;
    const Row standard{6.25, 4.16, 3.33, 2.13, 1.51};
    const Row mini{3.33, 2.13, 1.51, 1.06, 0.8};
    const Row excellent{10.41, 8.33, 6.25, 4.16, 3.33};
    for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
        const Row& row = (n == 118 || n == 121)   ? mini
                         : (n == 120 || n == 123) ? excellent
                                                  : standard;  // the normal row equals it
        EXPECT_EQ(ProfileCatalog::videoFactors(n), row) << n;
        const std::optional<int> disc = ProfileCatalog::discTotalKbps(n);
        const std::optional<int> expected = n == 112   ? std::optional(1393)
                                            : n == 113 ? std::optional(1948)
                                            : n == 114 ? std::optional(3222)
                                                       : std::nullopt;
        EXPECT_EQ(disc, expected) << n;
    }
    EXPECT_EQ(ProfileCatalog::audioRates(), (std::array<int, 5>{320, 192, 128, 64, 32}));
    EXPECT_EQ(ProfileCatalog::amrRates(), (std::array<double, 5>{12.2, 10.2, 7.4, 5.9, 4.75}));
    EXPECT_EQ(ProfileCatalog::discTargetSuffix(112), "-vcd ");
    EXPECT_EQ(ProfileCatalog::discTargetSuffix(113), "-svcd ");
    EXPECT_EQ(ProfileCatalog::discTargetSuffix(114), "-dvd ");
    EXPECT_EQ(ProfileCatalog::discTargetSuffix(111), "");
}

TEST(ProfileCatalogTest, ExtensionIsTheTextAfterTheStarWithoutTheClosingCharacter) {
    struct Case {
        const char* name;
        const char* extension;
    };
    const Case cases[] = {
        {"AVI - XviD Movie(*.avi)", ".avi"},
        {"MP4 - H.264 Video Excellent(*.MP4)", ".MP4"},
        {"Odd*name(*.ts)", "name(*.ts"},  // the first "*" counts
        {"No star at all", ""},
        {"Ends on star*", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProfileCatalog::extensionOf(QString::fromUtf8(c.name)), c.extension) << c.name;
    }
    EXPECT_FALSE(ProfileCatalog::isMp4Extension(".MP4"));
    EXPECT_TRUE(ProfileCatalog::isMp4Extension(".mp4"));
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
    EXPECT_TRUE(ProfileCatalog::isAudioOnly(71));
    EXPECT_TRUE(ProfileCatalog::isAudioOnly(80));
    EXPECT_TRUE(ProfileCatalog::isMobileAudioExtension(".3gp"));
    EXPECT_TRUE(ProfileCatalog::isMobileAudioExtension(".amr"));
    EXPECT_FALSE(ProfileCatalog::isMobileAudioExtension(".3GP"));
    EXPECT_FALSE(ProfileCatalog::isMobileAudioExtension(".3g2"));
}

}  // namespace
