#include "core/engine/option_assembly.h"

#include <QStringList>
#include <cmath>
#include <optional>

#include "core/engine/picture_plan.h"
#include "core/engine/time_value.h"
#include "core/profiles/picture_size.h"
#include "core/profiles/profile_catalog.h"
#include "core/profiles/rate_plan.h"

namespace {

// Why a job cannot start, as the sentence the user reads; nullopt when the option is sound.
using Problem = std::optional<QString>;

// The options of one job, built aside and handed over only when every one is sound.
struct Options {
    QString size;
    QString aspect;
    QString video;
    QString filter;
    QString audio;
    QString rate;
    QString channel;
    QString profileArgs;
    QString note;
};

// The picture size the size list asks for; nullopt when it leaves the source's size (an entry
// that names no size, such as "No Video").
Problem pictureOf(const QString& entry, const Toriginalinfo& info,
                  std::optional<PictureSize>& picture, QString& sizeText) {
    if (entry == ProfileCatalog::kOriginalSize) {
        sizeText = info.dimensions;
        picture = PictureSize::parse(sizeText);
        if (!picture) {
            return QStringLiteral("The source's picture size \"%1\" is not width x height.")
                .arg(info.dimensions);
        }
        return std::nullopt;
    }
    sizeText = PictureSize::sizeTextOfEntry(entry);
    if (sizeText.contains(QLatin1Char('x'))) {
        picture = PictureSize::parse(sizeText);
        if (!picture) {
            return QStringLiteral("The picture size \"%1\" is not width x height.").arg(sizeText);
        }
    }
    return std::nullopt;
}

// Size, the frame the picture goes into and its aspect. Disc profiles size through their
// target instead.
Problem sizeAndFrame(const ChoiceList& sizeList, const Toriginalinfo& info,
                     const SourcePicture& source, bool stretch, Options& o,
                     std::optional<OutputFrame>& frame) {
    if (!sizeList.isEnabled()) {
        return std::nullopt;
    }
    std::optional<PictureSize> picture;
    QString sizeText;
    if (Problem problem = pictureOf(sizeList.currentText(), info, picture, sizeText)) {
        return problem;
    }
    // A zero side is no picture size the encoder accepts, and gives no aspect ratio: the
    // source's own size is kept.
    if (!picture || picture->width <= 0 || picture->height <= 0) {
        return std::nullopt;
    }
    o.size = QStringLiteral(" -s ") + sizeText;
    frame = OutputFrame{picture->width, picture->height, 0};
    // The source's own size keeps the source's own shape, pixel shape and all.
    const double stored = static_cast<double>(picture->width) / picture->height;
    const double shown = source.shownAspect();
    if (sizeList.currentText() == ProfileCatalog::kOriginalSize && !stretch && shown > 0 &&
        std::fabs(shown / stored - 1) > kShapeTolerance) {
        frame->displayAspect = shown;
    }
    o.aspect = QStringLiteral(" -aspect ") + aspectText(frame->shownAspect());
    return std::nullopt;
}

QString sampleRateOf(qint64 audioBitsPerSecond, bool mobileAudio) {
    if (mobileAudio) {
        return QStringLiteral(" -ar 8000 ");
    }
    if (audioBitsPerSecond > 192000) {
        return QStringLiteral(" -ar 48000 ");
    }
    if (audioBitsPerSecond > 64000) {
        return QStringLiteral(" -ar 44100 ");
    }
    return QStringLiteral(" -ar 22050 ");
}

// Audio and sample rate, and the video's bit rate (0: no video), from the same plan as the size
// estimate so both always agree.
Problem ratesOf(const ProfileSelection& selection, const Toriginalinfo& info, bool mobileAudio,
                Options& o, qint64& videoKbps) {
    QString rateError;
    const std::optional<RatePlan> plan = planRates(selection.rateChoices(), info, &rateError);
    if (!plan) {
        return rateError;
    }
    videoKbps = plan->videoKbps;
    o.audio = QStringLiteral(" -ab ") + QString::number(plan->audioBitsPerSecond);
    o.rate = sampleRateOf(plan->audioBitsPerSecond, mobileAudio);
    return std::nullopt;
}

QString channelOf(const ChoiceList& channelList, bool mobileAudio) {
    if (mobileAudio) {
        return QStringLiteral(" -ac 1 ");
    }
    const int channel = channelList.itemIndex();
    return QStringLiteral(" -ac ") + QString::number(channel < 0 ? 2 : channel + 1);
}

// " -target pal-dvd " and the like, from the size list's PAL or NTSC, and the frame the target
// writes: a DVD keeps a wide picture wide (its 16:9 flag); Video CD and Super Video CD players
// show 4:3 only.
Problem discTarget(int profile, const ChoiceList& sizeList, const SourcePicture& source, Options& o,
                   std::optional<OutputFrame>& frame, QString& target) {
    const QString standard = sizeList.currentText();
    if (standard != ProfileCatalog::kPal && standard != ProfileCatalog::kNtsc) {
        return QStringLiteral("Choose PAL or NTSC for the disc.");
    }
    target = standard.toLower() + ProfileCatalog::discTargetSuffix(profile).trimmed();
    o.profileArgs = QStringLiteral(" -target ") + target + QLatin1Char(' ');
    if (const auto size =
            ProfileCatalog::discFrameSize(profile, standard == ProfileCatalog::kPal)) {
        constexpr double kWide = 16.0 / 9;
        constexpr double kNarrow = 4.0 / 3;
        const bool wide = profile == 114 && source.shownAspect() >= std::sqrt(kWide * kNarrow);
        frame = OutputFrame{(*size)[0], (*size)[1], wide ? kWide : kNarrow};
    }
    return std::nullopt;
}

// The value after the last of `names` in an option text ("-vcodec libxvid" -> "libxvid").
QString optionValue(const QString& options, std::initializer_list<QLatin1String> names) {
    const QStringList words = options.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString value;
    for (qsizetype i = 0; i + 1 < words.size(); ++i) {
        for (const QLatin1String& name : names) {
            if (words[i] == name) {
                value = words[i + 1];
            }
        }
    }
    return value;
}

// The frame rate and the filters that keep the picture's shape, for a job that writes video.
void pictureOptions(int profile, const std::optional<OutputFrame>& frame,
                    const SourcePicture& source, const QString& target, qint64 videoKbps,
                    bool stretch, Options& o) {
    const QString codec = videoCodecOf(o.profileArgs);
    const PicturePlan plan =
        planPicture(frame, source,
                    orvex::encoder::frameRateRuleFor(codec.toStdString(), target.toStdString(),
                                                     ProfileCatalog::isDeviceProfile(profile)),
                    stretch);
    if (target.isEmpty()) {
        o.video = QStringLiteral(" -r ") + QString::fromStdString(plan.rate.text()) +
                  QStringLiteral(" -b ") + QString::number(videoKbps * 1000);
    } else if (plan.bars) {
        // The target sizes the picture; a picture with bars says the frame's shape.
        o.aspect = QStringLiteral(" -aspect ") + plan.aspect;
    }
    o.filter = QStringLiteral(" -vf ") + plan.filter;
    o.note = plan.note;
}

}  // namespace

QString videoCodecOf(const QString& options) {
    return optionValue(options, {QLatin1String("-vcodec"), QLatin1String("-c:v")});
}

bool assembleOptions(const ProfileSelection& selection, const JobList& jobs, int row,
                     intputrec& rec, QString* error, bool stretch) {
    auto fail = [error](const QString& message) {
        if (error) {
            *error = message;
        }
        return false;
    };
    const int profile = selection.activeProfile();
    if (!ProfileCatalog::isProfileNumber(profile)) {
        return fail(QStringLiteral("No output profile is selected."));
    }
    if (!jobs.isRow(row)) {
        return fail(QStringLiteral("There is no row %1 in the job list.").arg(row));
    }
    const Toriginalinfo& info = jobs.jobInfo(row);
    const bool disc = ProfileCatalog::isDiscProfile(profile);
    const bool mobileAudio = ProfileCatalog::isMobileAudioExtension(selection.extension());
    SourcePicture source;
    source.facts = jobs.row(row).picture;
    if (const std::optional<PictureSize> stored = PictureSize::parse(info.dimensions)) {
        source.width = stored->width;
        source.height = stored->height;
    }

    Options o;
    o.profileArgs = selection.profileArgs();
    std::optional<OutputFrame> frame;
    QString target;
    qint64 videoKbps = 0;
    Problem problem;
    if (disc) {
        problem = discTarget(profile, selection.sizeList(), source, o, frame, target);
    } else {
        problem = sizeAndFrame(selection.sizeList(), info, source, stretch, o, frame);
        if (!problem) {
            problem = ratesOf(selection, info, mobileAudio, o, videoKbps);
        }
    }
    if (problem) {
        return fail(*problem);
    }
    // No video rate (an audio-only profile, or no picture height to derive it from): no video
    // options.
    if (disc || videoKbps > 0) {
        pictureOptions(profile, frame, source, target, videoKbps, stretch, o);
    }
    o.channel = channelOf(selection.channelList(), mobileAudio);

    rec.sizeOption = o.size;
    rec.aspectOption = o.aspect;
    rec.videoOption = o.video;
    rec.filterOption = o.filter;
    rec.audioOption = o.audio;
    rec.rateOption = o.rate;
    rec.channelOption = o.channel;
    rec.profileArgs = o.profileArgs;
    rec.note = o.note;
    rec.durationSeconds = secondsOfTimeValue(info.duration);
    return true;
}
