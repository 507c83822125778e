#include "ifoinfo/title_set_packing.h"

#include <gtest/gtest.h>

namespace {

using namespace orvex::ifoinfo;

// What the reading child hands over survives the trip whole, and anything else (a child that
// died mid-write, stray bytes, absurd counts, programs naming cells the chain lacks) is refused
// rather than half-believed.
TEST(TitleSetPacking, RoundTripsAndRefusesAnythingElse) {
    auto info = std::make_unique<TitleSetInfo>();
    info->videoDescription = "MPEG-2 720x576 PAL 4:3";
    info->audioDescriptions = {"English AC-3 6ch (0x80)", ""};
    info->subpictureDescriptions = {"Deutsch (0x21)"};
    ChainInfo chain{{1, 2, 3, 4}, {{0, 1200, {0, 0, 3, 0}}, {1201, -5, {9, 59, 59, 24}}}, {}, {}};
    chain.programs = {{0, 2, {10, 0, 2, 24}}};
    chain.palette[1] = 0x51ef5b;
    info->chains = {chain, {{0, 0, 0, 0}, {}, {}, {}}};
    std::vector<TitleSetRead> reads;
    reads.push_back({"/disc/VIDEO_TS/VTS_01_0.IFO", std::move(info), ""});
    reads.push_back({"/disc/VIDEO_TS/VTS_02_0.IFO", nullptr, "Permission denied"});

    const std::string bytes = packTitleSetReads(reads);
    const auto back = unpackTitleSetReads(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(packTitleSetReads(*back), bytes);
    ASSERT_EQ(back->size(), 2u);
    EXPECT_EQ((*back)[1].error, "Permission denied");
    EXPECT_FALSE((*back)[1].info);
    const TitleSetInfo& first = *(*back)[0].info;
    EXPECT_EQ(first.audioDescriptions, reads[0].info->audioDescriptions);
    EXPECT_EQ(first.chains[0].cells[1].lastSector, -5);
    EXPECT_EQ(first.chains[0].programs[0].cellCount, 2);
    EXPECT_EQ(first.chains[0].palette[1], 0x51ef5bu);

    for (size_t n = 0; n < bytes.size(); ++n) {
        EXPECT_FALSE(unpackTitleSetReads(bytes.substr(0, n))) << n;
    }
    EXPECT_FALSE(unpackTitleSetReads(bytes + '\0'));
    std::string huge = bytes;
    huge.replace(4, 4, "\xff\xff\xff\x7f");  // a path of 2 GB
    EXPECT_FALSE(unpackTitleSetReads(huge));
    reads[0].info->chains[0].programs[0].cellCount = 3;  // one cell more than the chain has
    EXPECT_FALSE(unpackTitleSetReads(packTitleSetReads(reads)));
}

// A program runs from its entry cell to the next program's; its time is its cells' times with
// frames carried into seconds. A map the cells do not bear out gives one program per cell.
TEST(TitleSetPrograms, FollowTheProgramMap) {
    const std::vector<CellInfo> cells = {
        {0, 9, {0, 0, 1, 15}}, {10, 19, {0, 0, 1, 15}}, {20, 29, {0, 59, 59, 0}}, {30, 39, {}}};
    struct Case {
        std::vector<uint8_t> map;
        int fps;
        std::vector<std::pair<int, int>> programs;  // first cell, cell count
        PlayTime firstTime;
    };
    const Case cases[] = {
        {{1, 3}, 25, {{0, 2}, {2, 2}}, {0, 0, 3, 5}},
        {{1, 3}, 30, {{0, 2}, {2, 2}}, {0, 0, 3, 0}},
        {{1, 3}, 0, {{0, 2}, {2, 2}}, {0, 0, 2, 0}},  // frames of an unknown rate are left out
        {{1, 2, 3, 4}, 25, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}, {0, 0, 1, 15}},
        {{1}, 25, {{0, 4}}, {1, 0, 2, 5}},
        {{}, 25, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}, {0, 0, 1, 15}},
        {{2, 3}, 25, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}, {0, 0, 1, 15}},  // cell 1 in none
        {{1, 3, 3}, 25, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}, {0, 0, 1, 15}},
        {{1, 5}, 25, {{0, 1}, {1, 1}, {2, 1}, {3, 1}}, {0, 0, 1, 15}},  // no cell 5
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.map));
        const std::vector<ProgramInfo> programs = programsOf(c.map, cells, c.fps);
        ASSERT_EQ(programs.size(), c.programs.size());
        for (size_t p = 0; p < programs.size(); ++p) {
            EXPECT_EQ(programs[p].firstCell, c.programs[p].first) << p;
            EXPECT_EQ(programs[p].cellCount, c.programs[p].second) << p;
        }
        const PlayTime& t = programs[0].time;
        EXPECT_EQ((std::vector<int>{t.hours, t.minutes, t.seconds, t.frames}),
                  (std::vector<int>{c.firstTime.hours, c.firstTime.minutes, c.firstTime.seconds,
                                    c.firstTime.frames}));
    }
}

}  // namespace
