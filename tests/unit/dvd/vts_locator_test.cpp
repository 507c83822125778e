#include "dvdsectors/vts_locator.h"

#include <gtest/gtest.h>

#include "core/engine/dvd_locator.h"

using orvex::dvd::parseVtsLocator;

namespace {

// Locators exactly as the core writes them parse back to the row they came from.
TEST(VtsLocator, ReadsWhatTheCoreWrites) {
    const struct {
        const char* ifoPath;
        int start, end;
        const char *audio, *subtitle;
        int titleSet, audioId, subtitleId;
        const char* root;
    } cases[] = {
        {"/media/dvd/VIDEO_TS/VTS_01_0.IFO", 0, 123456, "0x80", "0", 1, 0x80, 0, "/media/dvd"},
        {"/home/u/My Disc/video_ts/vts_12_0.ifo", 5, 6, "0xc1", "0x3f", 12, 0xc1, 0x3f,
         "/home/u/My Disc"},
        {"/m/odd*name/VIDEO_TS/VTS_99_0.IFO", 7, 7, "0", "0x20", 99, 0, 0x20, "/m/odd*name"},
        {"relative/VIDEO_TS/VTS_02_0.IFO", 1, 2, "0xA7", "0", 2, 0xa7, 0, "relative"},
        {"/d/VIDEO_TS/VTS_03_0.IFO", 0, 2147483647, "0x8f", "0", 3, 0x8f, 0, "/d"},
        {"/d/VIDEO_TS/VTS_03_0.IFO", 1, 2, "129", "33", 3, 0x81, 0x21, "/d"},  // decimal ids
    };
    for (const auto& c : cases) {
        TConvertInfo row;
        row.ifoPath = QString::fromUtf8(c.ifoPath);
        row.startSector = c.start;
        row.endSector = c.end;
        row.audioStream = QString::fromLatin1(c.audio);
        row.subtitleStream = QString::fromLatin1(c.subtitle);
        const std::string text = dvdLocator(row).toStdString();
        std::string error;
        const auto loc = parseVtsLocator(text, &error);
        ASSERT_TRUE(loc) << text << ": " << error;
        EXPECT_EQ(loc->titleSet, c.titleSet) << text;
        EXPECT_EQ(loc->startSector, c.start) << text;
        EXPECT_EQ(loc->endSector, c.end) << text;
        EXPECT_EQ(loc->audioStream, c.audio) << text;
        EXPECT_EQ(loc->subtitleStream, c.subtitle) << text;
        EXPECT_EQ(loc->audioId, c.audioId) << text;
        EXPECT_EQ(loc->subtitleId, c.subtitleId) << text;
        EXPECT_EQ(loc->discRoot, c.root) << text;
    }
}

TEST(VtsLocator, RefusesMalformedTextsSayingWhy) {
    const struct {
        const char* text;
        const char* reason;  // part of the error text
    } cases[] = {
        {"", "vts://"},
        {"VTS://01*0*1*0*0*//d", "vts://"},
        {"/media/dvd/VIDEO_TS/VTS_01_0.IFO", "vts://"},
        {"vts://1/0-100", "five"},
        {"vts://01*0*1*0*0", "five"},
        {"vts://01*0*1*0*0*", "disc folder"},
        {"vts://01*0*1*0*0*d", "disc folder"},
        {"vts://01*0*1*0*0*/", "no disc folder"},  // an IFO path without VIDEO_TS
        {"vts://*0*1*0*0*//d", "title set"},
        {"vts://00*0*1*0*0*//d", "title set"},
        {"vts://100*0*1*0*0*//d", "title set"},
        {"vts://0a*0*1*0*0*//d", "title set"},
        {"vts://01*-1*1*0*0*//d", "start sector"},
        {"vts://01**1*0*0*//d", "start sector"},
        {"vts://01*1x*1*0*0*//d", "start sector"},
        {"vts://01*0*2147483648*0*0*//d", "end sector"},
        {"vts://01*0* 1*0*0*//d", "end sector"},
        {"vts://01*10*9*0*0*//d", "before start sector"},
        {"vts://01*0*1**0*//d", "audio stream"},
        {"vts://01*0*1*0x20*0*//d", "audio stream"},  // a subpicture id
        {"vts://01*0*1*0xc8*0*//d", "audio stream"},
        {"vts://01*0*1*0x*0*//d", "audio stream"},
        {"vts://01*0*1*h 2*0*//d", "audio stream"},
        {"vts://01*0*1*0x80*0x80*//d", "subtitle stream"},
        {"vts://01*0*1*0x80*0x1f*//d", "subtitle stream"},
        {"vts://01*0*1*0x80*0x40*//d", "subtitle stream"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parseVtsLocator(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << " -> " << error;
    }
}

}  // namespace
