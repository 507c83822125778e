#include "core/engine/dvd_locator.h"

#include <gtest/gtest.h>

#include "../../support/qt_gtest.h"

namespace {

TConvertInfo rowOf(const QString& ifoPath, qint32 start, qint32 end, const QString& audio = "0",
                   const QString& subtitle = "0") {
    TConvertInfo info;
    info.ifoPath = ifoPath;
    info.startSector = start;
    info.endSector = end;
    info.audioStream = audio;
    info.subtitleStream = subtitle;
    return info;
}

TEST(DvdLocator, BuildsFromTheRowRecord) {
    const struct {
        TConvertInfo info;
        const char* locator;
    } cases[] = {
        {rowOf("D:\\VIDEO_TS\\VTS_01_0.IFO", 0, 123456), "vts://01*0*123456*0*0*/D:"},
        {rowOf("/media/cdrom/VIDEO_TS/VTS_03_0.IFO", 1000, 2999, "129", "33"),
         "vts://03*1000*2999*129*33*//media/cdrom"},
        {rowOf("/home/u/My Disc/video_ts/vts_12_0.ifo", 5, 6), "vts://12*5*6*0*0*//home/u/My Disc"},
        // A folder whose name only ends in "video_ts" is not the disc's VIDEO_TS folder.
        {rowOf("/m/myvideo_ts/VIDEO_TS/VTS_01_0.IFO", 0, 1), "vts://01*0*1*0*0*//m/myvideo_ts"},
        // Mixed separators, as an IFO path copied from another system may have.
        {rowOf("/mnt/disc\\VIDEO_TS\\VTS_02_0.IFO", 0, 1), "vts://02*0*1*0*0*//mnt/disc"},
        // Short IFO names give a shorter set number; no "video_ts" gives an empty root.
        {rowOf("/disc/VIDEO_TS/VTS_1", 0, 1), "vts://1*0*1*0*0*//disc"},
        {rowOf("/disc/VIDEO_TS/VTS", 0, 1), "vts://*0*1*0*0*//disc"},
        {rowOf("/disc/VTS_01_0.IFO", 7, 8), "vts://01*7*8*0*0*/"},
        {rowOf("", 0, 0), "vts://*0*0*0*0*/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dvdLocator(c.info), QString::fromUtf8(c.locator)) << c.locator;
    }
}

}  // namespace
