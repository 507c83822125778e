#include "core/engine/option_assembly.h"

#include <optional>

#include "core/engine/time_value.h"
#include "core/profiles/picture_size.h"
#include "core/profiles/profile_catalog.h"
#include "core/profiles/rate_plan.h"

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
    const ChoiceList& sizeList = selection.sizeList();

    // Built aside and handed over only when every option is sound.
    QString sizeOption;
    QString aspectOption;
    QString videoOption;
    QString audioOption;
    QString rateOption;
    QString channelOption;
    QString profileArgs = selection.profileArgs();

    // Size and aspect. Disc profiles size through their target instead.
    if (sizeList.isEnabled() && !disc) {
        const QString entry = sizeList.currentText();
        std::optional<PictureSize> picture;
        QString sizeText;
        if (entry == ProfileCatalog::kOriginalSize) {
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
            // At most five significant digits, then written with four decimals: 2000x150 gives
            // 13.3330, 320x240 gives 1.3333.
            const double ratio = static_cast<double>(picture->width) / picture->height;
            aspectOption = QStringLiteral(" -aspect ") +
                           QString::number(QString::number(ratio, 'g', 5).toDouble(), 'f', 4);
        }
    }

    if (!disc) {
        // The same computation as the size estimate, so both always agree.
        QString rateError;
        const std::optional<RatePlan> parts = planRates(selection.rateChoices(), info, &rateError);
        if (!parts) {
            return fail(rateError);
        }
        // No video rate (an audio-only profile, or no picture height to derive it from):
        // the option is left out.
        if (parts->videoKbps > 0) {
            videoOption =
                QStringLiteral(" -r 25 -b ") + QString::number(qint64{parts->videoKbps} * 1000);
        }
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

    if (mobileAudio) {
        channelOption = QStringLiteral(" -ac 1 ");
    } else {
        const int channel = selection.channelList().itemIndex();
        channelOption = QStringLiteral(" -ac ") + QString::number(channel < 0 ? 2 : channel + 1);
    }

    if (disc) {
        const QString standard = sizeList.currentText();
        if (standard != ProfileCatalog::kPal && standard != ProfileCatalog::kNtsc) {
            return fail(QStringLiteral("Choose PAL or NTSC for the disc."));
        }
        profileArgs = QStringLiteral(" -target ") + standard.toLower() +
                      ProfileCatalog::discTargetSuffix(profile);
    }

    rec.sizeOption = sizeOption;
    rec.aspectOption = aspectOption;
    rec.videoOption = videoOption;
    rec.audioOption = audioOption;
    rec.rateOption = rateOption;
    rec.channelOption = channelOption;
    rec.profileArgs = profileArgs;
    rec.durationSeconds = secondsOfTimeValue(info.duration);
    return true;
}
