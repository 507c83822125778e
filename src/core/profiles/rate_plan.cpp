#include "core/profiles/rate_plan.h"

#include <cmath>

#include "core/engine/whole_number.h"
#include "core/profiles/picture_size.h"
#include "core/profiles/profile_catalog.h"

namespace {

// What a source whose audio rate is not known is taken to carry.
constexpr int kUnknownAudioKbps = 128;
// Beyond this a rate is not a believable value but a broken text; with PictureSize::kMaxSide
// it also keeps every sum and product well inside 64-bit arithmetic.
constexpr int kMaxKbps = 10'000'000;

std::optional<int> rateOf(const QString& text) {
    const std::optional<qint64> value = wholeNumber(text, kMaxKbps);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

}  // namespace

std::optional<RatePlan> planRates(const RateChoices& c, const Toriginalinfo& info, QString* error) {
    auto fail = [error](const QString& message) -> std::optional<RatePlan> {
        if (error) {
            *error = message;
        }
        return std::nullopt;
    };
    if (!ProfileCatalog::isProfileNumber(c.profile)) {
        return fail(QStringLiteral("No output profile is selected."));
    }

    RatePlan plan;
    if (const std::optional<int> total = ProfileCatalog::discTotalKbps(c.profile)) {
        plan.totalKbps = *total;
        return plan;
    }

    // Video.
    const bool levelChosen = c.videoLevel >= 0 && c.videoLevel < ProfileCatalog::kQualityLevels;
    if (ProfileCatalog::isListRange(c.profile)) {
        if (c.videoRates[0] != QLatin1String("*") && levelChosen) {
            const QString& text = c.videoRates[static_cast<size_t>(c.videoLevel)];
            const std::optional<int> rate = rateOf(text);
            if (!rate) {
                return fail(QStringLiteral("The video rate \"%1\" of \"%2\" in profiles.pop is "
                                           "not a whole number.")
                                .arg(text, c.videoEntry));
            }
            plan.videoKbps = *rate;
        }
    } else if (c.videoEntry == ProfileCatalog::kOriginalVideo) {
        const std::optional<int> rate = rateOf(info.videoKbps);
        if (!rate) {
            return fail(QStringLiteral("The source's video bit rate \"%1\" is not a whole number.")
                            .arg(info.videoKbps));
        }
        plan.videoKbps = *rate;
    } else if (levelChosen) {
        std::optional<int> height;
        if (c.sizeEntry == ProfileCatalog::kOriginalSize) {
            height = PictureSize::heightOf(info.dimensions);
            if (!height) {
                return fail(QStringLiteral("The source's picture size \"%1\" is not width x "
                                           "height.")
                                .arg(info.dimensions));
            }
        } else {
            // A size entry that names no height ("No Video") counts as no video rate.
            height = PictureSize::heightOf(PictureSize::sizeTextOfEntry(c.sizeEntry));
        }
        if (height) {
            const double factor =
                ProfileCatalog::videoFactors(c.profile)[static_cast<size_t>(c.videoLevel)];
            // Halves go to the even neighbour (the default rounding mode).
            plan.videoKbps = static_cast<int>(std::nearbyint(*height * factor));
        }
    }

    // Audio.
    const bool originalAudio = c.audioEntry == ProfileCatalog::kOriginalAudio;
    const bool audioLevelChosen =
        c.audioLevel >= 0 && c.audioLevel < ProfileCatalog::kQualityLevels;
    if (!originalAudio && !audioLevelChosen) {
        return fail(QStringLiteral("No audio quality is chosen."));
    }
    if (ProfileCatalog::isMobileAudioExtension(c.extension)) {
        // AMR has five rates only; keeping the source's rate means its best one, 12.2.
        const double amr =
            ProfileCatalog::amrRates()[originalAudio ? 0 : static_cast<size_t>(c.audioLevel)];
        plan.audioKbps = static_cast<int>(std::lround(amr));
        plan.audioBitsPerSecond = std::llround(amr * 1000.0);
    } else if (originalAudio) {
        const std::optional<int> rate = rateOf(info.audioKbps);
        if (!rate) {
            return fail(QStringLiteral("The source's audio bit rate \"%1\" is not a whole number.")
                            .arg(info.audioKbps));
        }
        // A rate of 0 means the source's rate is unknown; an encoder asked for 0 bit/s fails
        // (wmav2) or guesses, so use the rate Add file assumes for such sources.
        plan.audioKbps = *rate > 0 ? *rate : kUnknownAudioKbps;
        plan.audioBitsPerSecond = qint64{plan.audioKbps} * 1000;
    } else {
        plan.audioKbps = ProfileCatalog::audioRates()[static_cast<size_t>(c.audioLevel)];
        plan.audioBitsPerSecond = qint64{plan.audioKbps} * 1000;
    }

    plan.totalKbps = plan.videoKbps + plan.audioKbps;
    return plan;
}
