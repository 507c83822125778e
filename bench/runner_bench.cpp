// Wall time of one conversion through EncoderJob and register.dat against the same FFmpeg
// command started directly with QProcess, in interleaved pairs; prints the median ratio.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tests/support/test_media.h"
#include "core/engine/encoder_runner.h"
#include "core/engine/invocation.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clip = dir.filePath("clip.avi");
    if (!dir.isValid() || !orvex::test::makeClip(clip, 5.0)) {
        std::fprintf(stderr, "runner_bench: could not make the clip\n");
        return 1;
    }
    intputrec rec;
    rec.encoderPath = orvex::test::registerDatPath();
    rec.workFolder = orvex::test::binDir();
    rec.inputName = clip;
    rec.outputName = dir.filePath("out.mp4");
    rec.sizeOption = " -s 320x240";
    rec.videoOption = " -r 25 -b 800000";
    rec.audioOption = " -ab 96000";
    rec.rateOption = " -ar 44100 ";
    rec.channelOption = " -ac 2";
    rec.profileArgs = " -vcodec mpeg4 -acodec aac";
    // register.dat adds -nostdin in front of its arguments; the direct run gets the same.
    const QStringList direct = QStringList{"-nostdin"} + argumentList(rec);

    constexpr int kPairs = 9;
    std::vector<double> viaJob;
    std::vector<double> viaFfmpeg;
    std::vector<double> ratios;
    for (int k = 0; k < kPairs; ++k) {
        QElapsedTimer t;
        t.start();
        EncoderJob job;
        bool ok = false;
        QEventLoop loop;
        QObject::connect(&job, &EncoderJob::chunkArrived, [&job] { job.buffer().clear(); });
        QObject::connect(&job, &EncoderJob::ended, [&](const JobEnd& e) {
            ok = e.succeeded();
            loop.quit();
        });
        job.run(rec);
        loop.exec();
        const double a = static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (!ok) {
            std::fprintf(stderr, "runner_bench: the conversion through register.dat failed\n");
            return 1;
        }

        t.restart();
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.setWorkingDirectory(rec.workFolder);
        p.start("ffmpeg", direct);
        p.waitForFinished(120000);
        p.readAll();
        const double b = static_cast<double>(t.nsecsElapsed()) / 1e6;
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            std::fprintf(stderr, "runner_bench: the direct FFmpeg run failed\n");
            return 1;
        }
        viaJob.push_back(a);
        viaFfmpeg.push_back(b);
        ratios.push_back(a / b);
    }
    std::printf("runner_bench: 5 s 320x240 clip to MPEG-4/AAC, %d interleaved pairs\n", kPairs);
    std::printf("  EncoderJob + register.dat: median %.1f ms\n", median(viaJob));
    std::printf("  QProcess + ffmpeg direct:  median %.1f ms\n", median(viaFfmpeg));
    std::printf("  median ratio job/direct:   %.3f\n", median(ratios));
    return 0;
}
