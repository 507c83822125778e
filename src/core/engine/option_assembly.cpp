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

// A DVD keeps a wide picture wide (its 16:9 flag); Video CD and Super Video CD players show
// 4:3 only.
double discFrameAspect(int profile, double sourceAspect) {
    constexpr double kWide = 16.0 / 9;
    constexpr double kNarrow = 4.0 / 3;
    return profile == 114 && sourceAspect >= std::sqrt(kWide * kNarrow) ? kWide : kNarrow;
}

}  // namespace

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
    const ChoiceList& sizeList = selection.sizeList();

    // Built aside and handed over only when every option is sound.
    QString sizeOption;
    QString aspectOption;
    QString videoOption;
    QString filterOption;
    QString audioOption;
    QString rateOption;
    QString channelOption;
    QString profileArgs = selection.profileArgs();
    QString note;

    SourcePicture source;
    source.facts = jobs.row(row).picture;
    if (const std::optional<PictureSize> stored = PictureSize::parse(info.dimensions)) {
        source.width = stored->width;
        source.height = stored->height;
    }

    // The frame the picture goes into. Disc profiles size through their target instead.
    std::optional<OutputFrame> frame;
    if (sizeList.isEnabled() && !disc) {
        const QString entry = sizeList.currentText();
        std::optional<PictureSize> picture;
        QString sizeText;
        const bool original = entry == ProfileCatalog::kOriginalSize;
        if (original) {
            sizeText = info.dimensions;
            picture = PictureSize::parse(sizeText);
            if (!picture) {
                return fail(QStringLiteral("The source's picture size \"%1\" is not width x "
                                           "height.")
                                .arg(info.dimensions));
            }
        } else {
            sizeText = PictureSize::sizeTextOfEntry(entry);
            // An entry that names no picture size ("No Video") leaves the source's size.
            if (sizeText.contains(QLatin1Char('x'))) {
                picture = PictureSize::parse(sizeText);
                if (!picture) {
                    return fail(QStringLiteral("The picture size \"%1\" is not width x height.")
                                    .arg(sizeText));
                }
            }
        }
        // A zero side is no picture size the encoder accepts, and gives no aspect ratio:
        // the source's own size is kept.
        if (picture && picture->width > 0 && picture->height > 0) {
            sizeOption = QStringLiteral(" -s ") + sizeText;
            frame = OutputFrame{picture->width, picture->height, 0};
            // The source's own size keeps the source's own shape, pixel shape and all.
            const double stored = static_cast<double>(picture->width) / picture->height;
            const double shown = source.shownAspect();
            if (original && !stretch && shown > 0 &&
                std::fabs(shown / stored - 1) > kShapeTolerance) {
                frame->displayAspect = shown;
            }
            aspectOption = QStringLiteral(" -aspect ") + aspectText(frame->shownAspect());
        }
    }

    QString target;
    if (disc) {
        const QString standard = sizeList.currentText();
        if (standard != ProfileCatalog::kPal && standard != ProfileCatalog::kNtsc) {
            return fail(QStringLiteral("Choose PAL or NTSC for the disc."));
        }
        target = standard.toLower() + ProfileCatalog::discTargetSuffix(profile).trimmed();
        profileArgs = QStringLiteral(" -target ") + target + QLatin1Char(' ');
        if (const auto size =
                ProfileCatalog::discFrameSize(profile, standard == ProfileCatalog::kPal)) {
            frame =
                OutputFrame{(*size)[0], (*size)[1], discFrameAspect(profile, source.shownAspect())};
        }
    }

    qint64 videoKbps = 0;
    if (!disc) {
        // The same computation as the size estimate, so both always agree.
        QString rateError;
        const std::optional<RatePlan> parts = planRates(selection.rateChoices(), info, &rateError);
        if (!parts) {
            return fail(rateError);
        }
        videoKbps = parts->videoKbps;
        audioOption = QStringLiteral(" -ab ") + QString::number(parts->audioBitsPerSecond);

        const qint64 bits = parts->audioBitsPerSecond;
        if (mobileAudio) {
            rateOption = QStringLiteral(" -ar 8000 ");
        } else if (bits > 192000) {
            rateOption = QStringLiteral(" -ar 48000 ");
        } else if (bits > 64000) {
            rateOption = QStringLiteral(" -ar 44100 ");
        } else {
            rateOption = QStringLiteral(" -ar 22050 ");
        }
    }

    // No video rate (an audio-only profile, or no picture height to derive it from): no
    // video options.
    if (disc || videoKbps > 0) {
        const QString codec =
            optionValue(profileArgs, {QLatin1String("-vcodec"), QLatin1String("-c:v")});
        const PicturePlan plan =
            planPicture(frame, source,
                        orvex::encoder::frameRateRuleFor(codec.toStdString(), target.toStdString(),
                                                         ProfileCatalog::isDeviceProfile(profile)),
                        stretch);
        if (!disc) {
            videoOption = QStringLiteral(" -r ") + QString::fromStdString(plan.rate.text()) +
                          QStringLiteral(" -b ") + QString::number(videoKbps * 1000);
        } else if (plan.bars) {
            // The target sizes the picture; a picture with bars says the frame's shape.
            aspectOption = QStringLiteral(" -aspect ") + plan.aspect;
        }
        filterOption = QStringLiteral(" -vf ") + plan.filter;
        note = plan.note;
    }

    if (mobileAudio) {
        channelOption = QStringLiteral(" -ac 1 ");
    } else {
        const int channel = selection.channelList().itemIndex();
        channelOption = QStringLiteral(" -ac ") + QString::number(channel < 0 ? 2 : channel + 1);
    }

    rec.sizeOption = sizeOption;
    rec.aspectOption = aspectOption;
    rec.videoOption = videoOption;
    rec.filterOption = filterOption;
    rec.audioOption = audioOption;
    rec.rateOption = rateOption;
    rec.channelOption = channelOption;
    rec.profileArgs = profileArgs;
    rec.note = note;
    rec.durationSeconds = secondsOfTimeValue(info.duration);
    return true;
}
