#include "core/engine/jobs_at_once.h"

#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <array>
#include <vector>

#include "core/engine/option_assembly.h"
#include "encoder/encoder_threads.h"

namespace {

struct FamilyFacts {
    const char* name;
    // One job's speed-up from one encoder thread to two: its wall time with "-threads 1" over
    // its wall time with "-threads 2", the faster of two runs each, measured by bench/jobs_bench
    // (FFmpeg 5.1, 2 cores, a quiet machine, a 4 s 1280x720 source, the family's profile and
    // size). Run to run it varies by about 0.05; readings under 1 are kept as 1. Sound alone
    // and AMR are given no threads, so theirs is 1 by construction; rv10/rv20 ("other video")
    // were not measured and are taken as not threading.
    double twoCoreSpeedUp;
};

constexpr std::array<FamilyFacts, JobsAtOnce::kFamilies> kFacts = {{
    {"x264 up to 480x360", 1.11},
    {"x264 up to 720x576", 1.39},
    {"x264 above 720x576", 1.44},
    {"mpeg4", 1.02},
    {"libxvid", 1.04},
    {"wmv", 1.02},
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
    const QString codec = videoCodecOf(profileArgs);
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

double JobsAtOnce::twoCoreSpeedUp(Family family) {
    return factsOf(family).twoCoreSpeedUp;
}

double JobsAtOnce::speedUp(double twoCoreSpeedUp, int cores) {
    // With a share p of the work in parallel, two cores give 1 / (1 - p + p / 2).
    const double p = std::clamp(2.0 * (1.0 - 1.0 / std::max(1.0, twoCoreSpeedUp)), 0.0, 1.0);
    return 1.0 / ((1.0 - p) + p / std::max(1, cores));
}

double JobsAtOnce::batchSpeed(double twoCoreSpeedUp, int cores, int jobs) {
    jobs = std::clamp(jobs, 1, std::max(1, cores));
    return jobs * speedUp(twoCoreSpeedUp, std::max(1, cores / jobs));
}

int JobsAtOnce::automatic(Family family, int cores, int rows, bool opticalSource) {
    return automatic(twoCoreSpeedUp(family), cores, rows, opticalSource);
}

int JobsAtOnce::automatic(double twoCoreSpeedUp, int cores, int rows, bool opticalSource) {
    if (opticalSource) {
        return 1;
    }
    const int most = std::clamp(std::min(cores, rows), 1, std::max(1, cores));
    // Counts that share the cores evenly, and all the rows there are when they are fewer.
    std::vector<int> counts;
    for (int jobs = 1; jobs < most; ++jobs) {
        if (cores % jobs == 0) {
            counts.push_back(jobs);
        }
    }
    counts.push_back(most);
    double best = 0;
    for (int jobs : counts) {
        best = std::max(best, batchSpeed(twoCoreSpeedUp, cores, jobs));
    }
    for (int jobs : counts) {
        if (batchSpeed(twoCoreSpeedUp, cores, jobs) >= kCloseEnough * best) {
            return jobs;
        }
    }
    return most;
}

int JobsAtOnce::forRun(int setting, Family family, int cores, int rows, bool opticalSource) {
    if (setting <= 0) {
        return automatic(family, cores, rows, opticalSource);
    }
    return std::clamp(std::min({setting, cores, rows}), 1, std::max(1, cores));
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
