#include "ifoinfo/title_set_packing.h"

#include <gtest/gtest.h>

namespace {

using orvex::ifoinfo::TitleSetInfo;

// What the reading child hands over survives the trip whole, and anything else (a child that
// died mid-write, stray bytes, absurd counts) is refused rather than half-believed.
TEST(TitleSetPacking, RoundTripsAndRefusesAnythingElse) {
    TitleSetInfo info;
    info.videoDescription = "MPEG-2 720x576 PAL 4:3";
    info.audioDescriptions = {"English AC-3 6ch (0x80)", ""};
    info.subpictureDescriptions = {"Deutsch (0x21)"};
    info.chains = {{{1, 2, 3, 4}, {{0, 1200, {0, 0, 3, 0}}, {1201, -5, {9, 59, 59, 24}}}},
                   {{0, 0, 0, 0}, {}}};
    const std::string bytes = orvex::ifoinfo::packTitleSetInfo(info);
    const auto back = orvex::ifoinfo::unpackTitleSetInfo(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(orvex::ifoinfo::packTitleSetInfo(*back), bytes);
    EXPECT_EQ(back->audioDescriptions, info.audioDescriptions);
    ASSERT_EQ(back->chains.size(), 2u);
    EXPECT_EQ(back->chains[0].cells[1].lastSector, -5);
    EXPECT_EQ(back->chains[0].cells[1].time.minutes, 59);

    for (size_t n = 0; n < bytes.size(); ++n) {
        EXPECT_FALSE(orvex::ifoinfo::unpackTitleSetInfo(bytes.substr(0, n))) << n;
    }
    EXPECT_FALSE(orvex::ifoinfo::unpackTitleSetInfo(bytes + '\0'));
    std::string huge = bytes;
    huge.replace(0, 4, "\xff\xff\xff\x7f");  // a description of 2 GB
    EXPECT_FALSE(orvex::ifoinfo::unpackTitleSetInfo(huge));
}

}  // namespace
