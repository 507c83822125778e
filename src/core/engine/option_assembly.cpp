#include "core/engine/option_assembly.h"

#include <optional>

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
    QString audio;
    QString rate;
    QString channel;
    QString profileArgs;
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

// " -aspect 1.3333": at most five significant digits, then written with four decimals
// (2000x150 gives 13.3330, 320x240 gives 1.3333).
QString aspectOf(const PictureSize& picture) {
    const double ratio = static_cast<double>(picture.width) / picture.height;
    return QStringLiteral(" -aspect ") +
           QString::number(QString::number(ratio, 'g', 5).toDouble(), 'f', 4);
}

// Size and aspect. Disc profiles size through their target instead.
Problem sizeAndAspect(const ChoiceList& sizeList, const Toriginalinfo& info, Options& o) {
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
    if (picture && picture->width > 0 && picture->height > 0) {
        o.size = QStringLiteral(" -s ") + sizeText;
        o.aspect = aspectOf(*picture);
    }
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

// Video, audio and sample rate, from the same plan as the size estimate so both always agree.
Problem ratesOf(const ProfileSelection& selection, const Toriginalinfo& info, bool mobileAudio,
                Options& o) {
    QString rateError;
    const std::optional<RatePlan> plan = planRates(selection.rateChoices(), info, &rateError);
    if (!plan) {
        return rateError;
    }
    // No video rate (an audio-only profile, or no picture height to derive it from): the
    // option is left out.
    if (plan->videoKbps > 0) {
        o.video = QStringLiteral(" -r 25 -b ") + QString::number(qint64{plan->videoKbps} * 1000);
    }
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

// " -target pal-dvd " and the like, from the size list's PAL or NTSC.
Problem discTarget(int profile, const ChoiceList& sizeList, Options& o) {
    const QString standard = sizeList.currentText();
    if (standard != ProfileCatalog::kPal && standard != ProfileCatalog::kNtsc) {
        return QStringLiteral("Choose PAL or NTSC for the disc.");
    }
    o.profileArgs = QStringLiteral(" -target ") + standard.toLower() +
                    ProfileCatalog::discTargetSuffix(profile);
    return std::nullopt;
}

}  // namespace

bool assembleOptions(const ProfileSelection& selection, const JobList& jobs, int row,
                     intputrec& rec, QString* error) {
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

    Options o;
    o.profileArgs = selection.profileArgs();
    Problem problem;
    if (disc) {
        problem = discTarget(profile, selection.sizeList(), o);
    } else {
        problem = sizeAndAspect(selection.sizeList(), info, o);
        if (!problem) {
            problem = ratesOf(selection, info, mobileAudio, o);
        }
    }
    if (problem) {
        return fail(*problem);
    }
    o.channel = channelOf(selection.channelList(), mobileAudio);

    rec.sizeOption = o.size;
    rec.aspectOption = o.aspect;
    rec.videoOption = o.video;
    rec.audioOption = o.audio;
    rec.rateOption = o.rate;
    rec.channelOption = o.channel;
    rec.profileArgs = o.profileArgs;
    rec.durationSeconds = secondsOfTimeValue(info.duration);
    return true;
}
