#include "core/engine/encoder_output.h"

#include <gtest/gtest.h>

namespace {

TEST(EncoderOutput, LastLinesAreWhatAPersonReadsAfterAFailure) {
    const QByteArray banner =
        "ffmpeg version 5.1.9-0+deb12u1 Copyright (c) 2000-2026 the FFmpeg developers\n"
        "  built with gcc 12 (Debian 12.2.0-14+deb12u1)\n"
        "  configuration: --prefix=/usr --enable-gpl\n"
        "  libavutil      57. 28.100 / 57. 28.100\n"
        "  libswresample   4.  7.100 /  4.  7.100\n"
        "  libpostproc    56.  6.100 / 56.  6.100\n";
    const struct {
        QByteArray output;
        int count;
        QStringList expected;
    } cases[] = {
        {banner + "/videos/gone.avi: No such file or directory\n",
         3,
         {"/videos/gone.avi: No such file or directory"}},
        {"frame=1\rframe=2\rframe=3\n\n  Conversion failed!  \n",
         5,
         {"frame=3", "Conversion failed!"}},
        {"one\ntwo\nthree\nfour", 2, {"three", "four"}},
        // Only the banner's own lines go: a file named like a library is still said.
        {"libavutil.avi: Invalid data found when processing input\n",
         1,
         {"libavutil.avi: Invalid data found when processing input"}},
        {banner, 4, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lastOutputLines(c.output, c.count), c.expected) << c.output.toStdString();
    }
}

TEST(EncoderOutput, AWriteErrorFFmpegEndsWellAfterIsFound) {
    const struct {
        QByteArray output;
        const char* expected;
    } cases[] = {
        {"frame=  100 fps=0.0\rframe=  99\nError writing trailer of /o/.b.part-x1.mp4: No space "
         "left on device\nvideo:157kB audio:34kB\nError closing file /o/.b.part-x1.mp4: No space "
         "left on device\n[aac @ 0x5] Qavg: 487.291\n",
         "No space left on device"},
        {"Error closing file /mnt/usb/a: b.avi: Input/output error\n", "Input/output error"},
        {"frame=  100 fps=0.0\nvideo:157kB audio:34kB\n", ""},
        // A source named like the message is not one.
        {"Input #0, avi, from 'Error writing trailer of x: y.avi':\n", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outputWriteError(c.output), c.expected) << c.output.toStdString();
    }
}

}  // namespace
