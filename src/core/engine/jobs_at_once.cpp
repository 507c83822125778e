#include "core/engine/jobs_at_once.h"

#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <array>
#include <cmath>

#include "encoder/encoder_threads.h"

namespace {

struct FamilyFacts {
    const char* name;
    // Processor seconds per wall second of one job whose encoder has one thread, measured by
    // bench/jobs_bench on FFmpeg 5.1 (a 10 s clip, 2 cores, nothing else running).
    double coresPerJob;
};

constexpr std::array<FamilyFacts, JobsAtOnce::kFamilies> kFacts = {{
    {"x264 up to 480x360", 1.05},
    {"x264 up to 720x576", 1.05},
    {"x264 above 720x576", 1.10},
    {"mpeg4", 1.00},
    {"libxvid", 1.00},
    {"wmv", 1.00},
    {"flv", 1.00},
    {"h263", 1.00},
    {"mpeg1/mpeg2", 1.00},
    {"other video", 1.00},
    {"audio only", 1.00},
    {"AMR", 1.00},
}};

const FamilyFacts& factsOf(JobsAtOnce::Family family) {
    return kFacts[static_cast<size_t>(family)];
}

// Pixels of a size text such as "480x320(HVGA)"; 0 when it names none.
qint64 pixelsOf(const QString& sizeText) {
    static const QRegularExpression kSize(QStringLiteral("(\\d+)x(\\d+)"));
    const QRegularExpressionMatch m = kSize.match(sizeText);
    return m.hasMatch() ? m.captured(1).toLongLong() * m.captured(2).toLongLong() : 0;
}

}  // namespace

JobsAtOnce::Family JobsAtOnce::familyOf(const QString& profileArgs, const QString& sizeText,
                                        const QString& extension, bool audioOnly) {
    if (extension.compare(QLatin1String(".amr"), Qt::CaseInsensitive) == 0) {
        return Family::Amr;
    }
    if (audioOnly) {
        return Family::AudioOnly;
    }
    if (profileArgs.contains(QLatin1String("-target"))) {
        return Family::Mpeg12;
    }
    const QString codec = videoCodec(profileArgs);
    if (codec == QLatin1String("libx264")) {
        // The source's own size is unknown here: taken as standard definition.
        const qint64 pixels = pixelsOf(sizeText);
        if (pixels > 0 && pixels <= 480 * 360) {
            return Family::X264Small;
        }
        return pixels > 720 * 576 ? Family::X264Hd : Family::X264Sd;
    }
    const struct {
        const char* codec;
        Family family;
    } kCodecs[] = {
        {"mpeg4", Family::Mpeg4},       {"libxvid", Family::Xvid}, {"wmv1", Family::Wmv},
        {"wmv2", Family::Wmv},          {"msmpeg4", Family::Wmv},  {"flv", Family::Flv},
        {"h263", Family::H263},         {"h263p", Family::H263},   {"mpeg1video", Family::Mpeg12},
        {"mpeg2video", Family::Mpeg12},
    };
    for (const auto& c : kCodecs) {
        if (codec == QLatin1String(c.codec)) {
            return c.family;
        }
    }
    return Family::Other;
}

QString JobsAtOnce::nameOf(Family family) {
    return QString::fromLatin1(factsOf(family).name);
}

double JobsAtOnce::coresPerJob(Family family) {
    return factsOf(family).coresPerJob;
}

int JobsAtOnce::automatic(Family family, int cores, int rows, bool opticalSource) {
    if (opticalSource) {
        return 1;
    }
    cores = std::max(1, cores);
    // As many one-thread jobs as the cores hold, rounded to the nearest: a job that keeps a
    // little more than one core busy still leaves most of a core to the next.
    const int fit = static_cast<int>(std::lround(cores / coresPerJob(family)));
    return std::clamp(std::min(fit, rows), 1, cores);
}

int JobsAtOnce::forRun(int setting, Family family, int cores, int rows, bool opticalSource) {
    if (setting <= 0) {
        return automatic(family, cores, rows, opticalSource);
    }
    return std::clamp(std::min({setting, cores, rows}), 1, std::max(1, cores));
}

QString JobsAtOnce::videoCodec(const QString& args) {
    static const QRegularExpression kCodec(QStringLiteral("(?:^|\\s)-(?:vcodec|c:v)\\s+(\\S+)"));
    QString codec;
    for (auto it = kCodec.globalMatch(args); it.hasNext();) {
        codec = it.next().captured(1);
    }
    return codec;
}

int JobsAtOnce::threadsPerJob(const QString& codec, int cores, int beside) {
    if (beside <= 1) {
        return 0;
    }
    const auto share = static_cast<unsigned>(std::max(1, cores / beside));
    return orvex::encoder::sharedEncoderThreads(codec.toStdString(), share);
}

int JobsAtOnce::cores() {
    return std::max(1, QThread::idealThreadCount());
}
