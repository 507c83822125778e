#include "core/sources/probe_parser.h"

#include <gtest/gtest.h>

namespace {

ProbeValues parseAll(const QByteArray& text) {
    ProbeParser parser;
    LineBuffer buffer;
    buffer.append(text);
    parser.finish(buffer);
    return parser.values();
}

// What FFmpeg 5.1 prints for an AVI (LF line ends), plus the lines around it.
const QByteArray kAvi =
    "Input #0, avi, from 'clip.avi':\n"
    "  Metadata:\n"
    "    software        : Lavf59.27.100\n"
    "  Duration: 00:01:23.45, start: 0.000000, bitrate: 443 kb/s\n"
    "  Stream #0:0: Video: mpeg4 (Simple Profile) (FMP4 / 0x34504D46), yuv420p, 640x480 [SAR 1:1 "
    "DAR 4:3], 334 kb/s, 25 fps, 25 tbr, 25 tbn\n"
    "  Stream #0:1: Audio: mp3 (U[0][0][0] / 0x0055), 44100 Hz, mono, fltp, 64 kb/s\n"
    "At least one output file must be specified\n";

TEST(ProbeParserTest, ReadsEveryValueOfARealProbe) {
    const ProbeValues v = parseAll(kAvi);
    EXPECT_EQ(v.duration, "00:01:23");
    EXPECT_EQ(v.durationHundredths, 8345);
    EXPECT_EQ(v.totalKbps, "443");
    EXPECT_EQ(v.videoKbps, "334");
    EXPECT_EQ(v.audioKbps, "64");
    EXPECT_EQ(v.size, "640x480");
    EXPECT_EQ(v.displayAspect, "4:3");
    EXPECT_EQ(v.frameRate, "25");
    EXPECT_TRUE(v.hasVideo);
    EXPECT_TRUE(v.hasAudio);
}

TEST(ProbeParserTest, SameValuesHoweverTheTextIsChunked) {
    const ProbeValues whole = parseAll(kAvi);
    for (const QByteArray& ending : {QByteArray("\n"), QByteArray("\r\n"), QByteArray("\r")}) {
        QByteArray text = kAvi;
        text.replace("\n", ending);
        for (int chunk : {1, 2, 7, 64, 1024}) {
            ProbeParser parser;
            LineBuffer buffer;
            for (qsizetype i = 0; i < text.size(); i += chunk) {
                buffer.append(text.mid(i, chunk));
                parser.parse(buffer);
                // Only an unfinished line may stay behind.
                EXPECT_FALSE(buffer.text().contains('\n'));
            }
            parser.finish(buffer);
            EXPECT_EQ(parser.values(), whole) << "chunk " << chunk;
        }
    }
}

TEST(ProbeParserTest, StreamLinesWithoutRatesLeaveThemEmpty) {
    // Matroska prints no kb/s on its stream lines; the overall rate alone is found.
    const ProbeValues v = parseAll(
        "  Duration: 00:00:02.00, start: 0.000000, bitrate: 1152 kb/s\n"
        "  Stream #0:0: Video: h264 (High), yuv420p(tv, progressive), 320x240 [SAR 1:1 DAR 4:3], "
        "25 fps, 25 tbr, 1k tbn\n"
        "  Stream #0:1: Audio: vorbis, 44100 Hz, mono, fltp\n");
    EXPECT_EQ(v.totalKbps, "1152");
    EXPECT_EQ(v.videoKbps, "");
    EXPECT_EQ(v.audioKbps, "");
    EXPECT_EQ(v.size, "320x240");
}

TEST(ProbeParserTest, TheFirstStreamOfEachKindWins) {
    // FLV lists its audio first; a cover picture (an MP3's), a second video stream and an
    // output section do not count. Without fps, the rate is FFmpeg's tbr.
    const QByteArray cover =
        "  Stream #0:0: Video: png, 500x500 [SAR 1:1 DAR 1:1], 90k tbr "
        "(attached pic)\n";
    const ProbeValues mp3 = parseAll("  Duration: 00:00:02.03, bitrate: 450 kb/s\n" + cover);
    EXPECT_EQ(mp3.size, "500x500");
    EXPECT_FALSE(mp3.hasVideo) << "a still is no video to convert";
    const ProbeValues v = parseAll(
        "  Duration: 00:00:02.03, start: 0.000000, bitrate: 450 kb/s\n"
        "  Stream #0:0: Audio: mp3, 44100 Hz, mono, fltp, 64 kb/s\n" +
        cover +
        "  Stream #0:1: Video: flv1, yuv420p, 320x240, 200 kb/s, 25 tbr\n"
        "  Stream #0:2: Video: png, rgb24, 100x100, 9 kb/s\n"
        "Output #0, mp4, to 'out.mp4':\n"
        "  Duration: 00:09:00.00, start: 0.000000, bitrate: 9 kb/s\n"
        "  Stream #0:0: Video: h264, yuv420p, 176x144, 1 kb/s\n");
    EXPECT_EQ(v,
              (ProbeValues{"00:00:02", "320x240", "450", "200", "64", true, true, 203, "", "25"}));
}

TEST(ProbeParserTest, FreeTextInMetadataAndFileNamesIsNotRead) {
    const ProbeValues v = parseAll(
        "Guessed Channel Layout for Input Stream #0.1 : mono\n"
        "Input #0, asf, from '/v/Duration: 99:99:99 Video: 1x1 7 kb/s.wmv':\n"
        "  Metadata:\n"
        "    title           : Stream #9 Video: 2x2, 5 kb/s bitrate: 3 kb/s\n"
        "  Duration: 00:00:02.09, start: 0.000000, bitrate: 517 kb/s\n"
        "  Stream #0:0: Video: wmv2 (WMV2 / 0x32564D57), yuv420p, 320x240, SAR 1:1 DAR 4:3, 25 "
        "fps\n"
        "  Stream #0:1: Audio: wmav2 (a[1][0][0] / 0x0161), 44100 Hz, mono, fltp, 128 kb/s\n");
    EXPECT_EQ(v,
              (ProbeValues{"00:00:02", "320x240", "517", "", "128", true, true, 209, "4:3", "25"}));
}

TEST(ProbeParserTest, NothingFoundInTextThatIsNoProbe) {
    EXPECT_EQ(parseAll("clip.avi: Invalid data found when processing input\n"), ProbeValues{});
    EXPECT_EQ(parseAll(""), ProbeValues{});
    // Piped input has no rate and no duration.
    const ProbeValues v = parseAll("  Duration: N/A, start: 0.534667, bitrate: N/A\n");
    EXPECT_EQ(v.duration, "N/A");
    EXPECT_EQ(v.durationHundredths, -1);
    EXPECT_EQ(v.totalKbps, "");
}

TEST(ProbeParserTest, SizeTokenPassesOverCodecTags) {
    struct Case {
        const char* line;
        const char* size;
    };
    const Case cases[] = {
        {"Video: mpeg4, yuv420p, 320x240 [PAR 1:1 DAR 4:3], 25 tbr", "320x240"},
        {"Video: h264 (High) (avc1 / 0x31637661), yuv420p(progressive), 1920x1080 [SAR 1:1]",
         "1920x1080"},
        {"Video: mpeg2video (Main) ([2][0][0][0] / 0x0002), yuv420p(tv), 720x576, 25 fps",
         "720x576"},
        {"Video: rawvideo (Y800 / 0x30303859), gray, 352x288", "352x288"},
        {"Video: flv1, yuv420p, 320x240, 200 kb/s", "320x240"},
        {"Video: mjpeg, yuvj420p, no size here", ""},
        {"Video: h263 (s263 / 0x33363273), yuv420p, 176x144 [SAR 12:11 DAR 4:3]", "176x144"},
        {"Video: foo 12x34abc, 640x480", "640x480"},
        {"no video marker 320x240", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProbeParser::sizeToken(QString::fromLatin1(c.line)), QLatin1String(c.size))
            << c.line;
    }
}

TEST(ProbeParserTest, RateIsTheWordBeforeKbps) {
    struct Case {
        const char* line;
        const char* rate;
    };
    const Case cases[] = {
        {"Duration: 00:00:02.04, start: 0.000000, bitrate: 1152 kb/s", "1152"},
        {"Audio: mp3, 44100 Hz, mono, fltp, 64 kb/s (default)", "64"},
        {"Video: x, 104857 kb/s, 25 fps", "104857"},
        {"bitrate:12345678901234 kb/s", "5678901234"},  // no blank within ten: the ten before
        {"Audio: vorbis, 44100 Hz", ""},
        {" kb/s", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ProbeParser::rateBeforeKbps(QString::fromLatin1(c.line)), QLatin1String(c.rate))
            << c.line;
    }
}

}  // namespace
