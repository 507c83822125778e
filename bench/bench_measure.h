#pragma once

// What the benchmarks measure the same way: the processor time of their child processes and
// the SSIM of an output against its source.
#include <sys/resource.h>

#include <QRegularExpression>
#include <QString>

#include "../tests/support/test_media.h"

namespace orvex::bench {

inline double childCpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_CHILDREN, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// SSIM of `file` against the source shown as it should be: fitted inside the output's frame
// ("640x480") at its own shape (black bars), at the source's frame rate. The output is brought
// to that rate too, so a frame it dropped or repeated is compared with the frame that should
// be there. `crop` ("320:180") first takes that middle part of the output (its picture without
// the bars) when the bars should not count. 0 when it cannot be measured.
inline double ssimAgainst(const QString& file, const QString& source, const QString& rate,
                          const QString& size, const QString& crop = {}) {
    const QString w = size.section(QLatin1Char('x'), 0, 0);
    const QString h = size.section(QLatin1Char('x'), 1, 1);
    const QString graph =
        QStringLiteral(
            "[0:v]%4fps=%1,scale=%2:%3,setsar=1,setpts=PTS-STARTPTS[a];"
            "[1:v]fps=%1,scale=%2:%3:force_original_aspect_ratio=decrease,"
            "pad=%2:%3:(ow-iw)/2:(oh-ih)/2,setsar=1,setpts=PTS-STARTPTS[b];[a][b]ssim")
            .arg(rate, w, h, crop.isEmpty() ? QString() : QStringLiteral("crop=%1,").arg(crop));
    QString out;
    orvex::test::runProgram(
        QStringLiteral("ffmpeg"),
        {"-nostdin", "-i", file, "-i", source, "-lavfi", graph, "-f", "null", "-"}, &out, 600000);
    const auto m = QRegularExpression(QStringLiteral("All:([0-9.]+)")).match(out);
    return m.hasMatch() ? m.captured(1).toDouble() : 0;
}

}  // namespace orvex::bench
