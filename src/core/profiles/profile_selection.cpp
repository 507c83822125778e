#include "core/profiles/profile_selection.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/engine/time_value.h"
#include "core/profiles/picture_size.h"
#include "core/profiles/profile_catalog.h"
#include "core/profiles/profile_file.h"

namespace {

// What a source whose audio rate is not known is taken to carry.
constexpr int kUnknownAudioKbps = 128;

constexpr int kNormalLevel = 2;
constexpr int kStereo = 1;
// Beyond this a rate is not a believable value but a broken text; with PictureSize::kMaxSide
// it also keeps every sum and product well inside 64-bit arithmetic.
constexpr int kMaxKbps = 10'000'000;

QStringList fixedQualityEntries() {
    QStringList entries;
    for (const QString& name : ProfileCatalog::qualityNames()) {
        entries.append(name);
    }
    return entries;
}

// Makes the entries after the five fixed quality levels exactly `extras`, touching the list
// only where it differs, so an unchanged list keeps its choice.
void setQualityExtras(ChoiceList& list, const QStringList& extras) {
    const int fixed = ProfileCatalog::kQualityLevels;
    while (list.count() > fixed) {
        const QStringList tail = list.items().mid(fixed);
        if (extras.mid(0, tail.size()) == tail) {
            break;
        }
        list.removeLast();
    }
    for (qsizetype i = list.count() - fixed; i < extras.size(); ++i) {
        list.addItem(extras.at(i));
    }
}

int fallbackFor(const QString& key, const ChoiceList& list) {
    if (key == ProfileCatalog::kVideoKey || key == ProfileCatalog::kAudioKey) {
        return kNormalLevel;
    }
    if (key == ProfileCatalog::kChannelKey) {
        return kStereo;
    }
    return list.count() - 1;
}

}  // namespace

ProfileSelection::ProfileSelection(AppState& state, JobList& jobs, platform::IniFile choices,
                                   QString profilesPopPath, QObject* parent)
    : QObject(parent),
      state_(state),
      jobs_(jobs),
      choices_(std::move(choices)),
      profilesPopPath_(std::move(profilesPopPath)),
      video_(fixedQualityEntries(), -1),
      audio_(fixedQualityEntries(), -1),
      channel_({ProfileCatalog::channelNames()[0], ProfileCatalog::channelNames()[1]}, kStereo) {
    // A user's change of any list only refreshes the estimates; choices are stored when
    // another profile is selected.
    for (ChoiceList* list : {&size_, &video_, &audio_, &channel_}) {
        connect(list, &ChoiceList::userChanged, this, [this](int) { refreshEstimates(); });
    }
}

int ProfileSelection::activeProfile() const {
    // The picker moves currentProfile on mere hovering; what the lists, the option text and
    // the name show is always the profile last selected.
    return previousProfile_ > 0 ? previousProfile_ : currentProfile_;
}

QString ProfileSelection::extension() const {
    return ProfileCatalog::extensionOf(currentDisplayName_);
}

bool ProfileSelection::selectProfile(int number, QString* error) {
    currentProfile_ = number;

    // Read the record before changing anything, so a missing or unreadable file leaves the
    // name, the lists and the option text consistent with each other.
    QString readError;
    const std::optional<ProfileRecord> record =
        readProfileRecord(profilesPopPath_, number, &readError);

    if (category_ >= 1 && category_ <= 14 && display_) {
        display_->showCategoryPicture(category_);
    }
    if (!record) {
        if (error) {
            *error = readError;
        }
        return false;
    }

    if (const std::optional<QString> name = ProfileCatalog::displayNameOf(number)) {
        currentDisplayName_ = *name;
    }
    if (display_) {
        display_->showProfileText(currentDisplayName_);
    }

    storeChoices(previousProfile_);

    if (record->sizeChoices) {
        buildSizeList(number, *record->sizeChoices);
    }
    if (record->rateLine) {
        setUpQualityLists(number, *record->rateLine);
    }
    if (record->codecOptions) {
        profileArgs_ = *record->codecOptions;
    }

    restoreChoices(number);
    ensureChoices();
    previousProfile_ = number;
    refreshEstimates();
    emit profileSelected(number);
    return true;
}

void ProfileSelection::buildSizeList(int number, const QStringList& entries) {
    size_.clear();
    for (const QString& entry : entries) {
        size_.addItem(entry);
    }
    if (ProfileCatalog::isDiscProfile(number)) {
        size_.clear();
        size_.addItem(ProfileCatalog::kPal);
        size_.addItem(ProfileCatalog::kNtsc);
    }
    if (ProfileCatalog::isDerivedRange(number) && size_.count() > 1) {
        if (!ProfileCatalog::isMp4Extension(extension()) && number <= 111) {
            size_.addItem(ProfileCatalog::kOriginalSize);
        } else if (size_.lastItem() == ProfileCatalog::kOriginalSize) {
            size_.removeLast();
        }
    }
    if (size_.count() == 0) {
        size_.addItem(ProfileCatalog::kNoVideo);
        size_.setItemIndex(0);
    }
}

void ProfileSelection::setUpQualityLists(int number, const QString& rateLine) {
    if (ProfileCatalog::isDiscProfile(number)) {
        // PAL or NTSC is still the user's choice: it picks the disc target.
        size_.setEnabled(true);
        video_.setEnabled(false);
        audio_.setEnabled(false);
        channel_.setEnabled(false);
        return;
    }
    video_.setEnabled(true);
    audio_.setEnabled(true);
    channel_.setEnabled(true);

    const bool noVideo = rateLine == QLatin1String("*") && size_.count() == 1;
    // The "original" entries are offered only where the video rate is derived from the
    // picture height, the output is not ".mp4", and the edition converts files (a DVD title
    // has no source bit rates to keep). Everywhere else they are taken away, so a list-range
    // profile selected after a derived-range one never offers them.
    const bool offerOriginals = !noVideo && ProfileCatalog::isDerivedRange(number) &&
                                !ProfileCatalog::isMp4Extension(extension()) &&
                                !state_.isDvdEdition();
    QStringList videoExtras;
    QStringList audioExtras;
    if (offerOriginals) {
        videoExtras.append(ProfileCatalog::kOriginalVideo);
        audioExtras.append(ProfileCatalog::kOriginalAudio);
    }
    if (noVideo) {
        videoExtras.append(ProfileCatalog::kNoVideo);
    }
    setQualityExtras(video_, videoExtras);
    setQualityExtras(audio_, audioExtras);

    if (noVideo) {
        videoRates_[0] = QStringLiteral("*");
        video_.setItemIndex(video_.count() - 1);
        size_.setEnabled(false);
        video_.setEnabled(false);
        return;
    }
    size_.setEnabled(true);
    video_.setEnabled(true);
    // The no-video marker must not outlive its profile: with it, a video profile whose rate
    // line holds fewer than five values would get no video rate at any level.
    if (videoRates_[0] == QLatin1String("*")) {
        videoRates_[0].clear();
    }
    const std::array<std::optional<QString>, 5> levels = videoRatesOfRateLine(rateLine);
    for (size_t level = 0; level < levels.size(); ++level) {
        if (levels[level]) {
            videoRates_[level] = *levels[level];
        }
    }
}

ChoiceList& ProfileSelection::listForKey(const QString& key) {
    if (key == ProfileCatalog::kSizeKey) {
        return size_;
    }
    if (key == ProfileCatalog::kVideoKey) {
        return video_;
    }
    if (key == ProfileCatalog::kAudioKey) {
        return audio_;
    }
    return channel_;
}

void ProfileSelection::storeChoices(int number) {
    for (const ChoiceDefault& choice :
         ProfileCatalog::defaultChoicesOf(number, state_.isDvdEdition())) {
        const ChoiceList* list = &listForKey(choice.key);
        if (list->itemIndex() >= 0) {
            choices_.writeInt(QString::number(number), choice.key, list->itemIndex());
        }
    }
}

void ProfileSelection::restoreChoices(int number) {
    for (const ChoiceDefault& choice :
         ProfileCatalog::defaultChoicesOf(number, state_.isDvdEdition())) {
        ChoiceList* list = &listForKey(choice.key);
        const int stored = choices_.readInt(QString::number(number), choice.key, choice.index);
        if (stored >= 0 && stored < list->count()) {
            list->setItemIndex(stored);
        } else {
            // A stored or default index the list does not hold (profile 4's default 5 once
            // ".mp4" has taken the "original" entries away): "Normal" for the quality lists,
            // "Stereo" for the channels, the last size entry (the largest picture the profile
            // offers, or the source's own size where that is offered).
            list->setItemIndex(fallbackFor(choice.key, *list));
        }
    }
}

void ProfileSelection::ensureChoice(ChoiceList& list, int fallback) {
    if (list.itemIndex() < 0 && list.count() > 0) {
        list.setItemIndex(fallback < list.count() ? fallback : list.count() - 1);
    }
}

void ProfileSelection::ensureChoices() {
    // Lists the profile does not restore (a blank slot, or the size list of an audio-only
    // profile) may have lost their choice while being rebuilt; never leave one empty.
    ensureChoice(size_, size_.count() - 1);
    ensureChoice(video_, kNormalLevel);
    ensureChoice(audio_, kNormalLevel);
    ensureChoice(channel_, kStereo);
}

void ProfileSelection::refreshEstimates() {
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        // A row whose values cannot be worked out shows no estimate; the others still do.
        jobs_.setSubItem(row, JobList::OutputSizeColumn, estimateOutputSize(row));
    }
}

std::optional<ProfileSelection::RateParts> ProfileSelection::rateParts(int row,
                                                                       QString* error) const {
    auto fail = [error](const QString& message) -> std::optional<RateParts> {
        if (error) {
            *error = message;
        }
        return std::nullopt;
    };
    const int profile = activeProfile();
    if (!ProfileCatalog::isProfileNumber(profile)) {
        return fail(QStringLiteral("No output profile is selected."));
    }
    if (!jobs_.isRow(row)) {
        return fail(QStringLiteral("There is no row %1 in the job list.").arg(row));
    }

    RateParts parts;
    if (const std::optional<int> total = ProfileCatalog::discTotalKbps(profile)) {
        parts.totalKbps = *total;
        return parts;
    }
    const Toriginalinfo& info = jobs_.jobInfo(row);

    // Video.
    const int videoLevel = video_.itemIndex();
    const bool levelChosen = videoLevel >= 0 && videoLevel < ProfileCatalog::kQualityLevels;
    if (ProfileCatalog::isListRange(profile)) {
        if (videoRates_[0] != QLatin1String("*") && levelChosen) {
            const QString& text = videoRates_[static_cast<size_t>(videoLevel)];
            const std::optional<int> rate = wholeNumber(text, kMaxKbps);
            if (!rate) {
                return fail(QStringLiteral("The video rate \"%1\" of \"%2\" in profiles.pop is "
                                           "not a whole number.")
                                .arg(text, video_.currentText()));
            }
            parts.videoKbps = *rate;
        }
    } else if (video_.currentText() == ProfileCatalog::kOriginalVideo) {
        const std::optional<int> rate = wholeNumber(info.videoKbps, kMaxKbps);
        if (!rate) {
            return fail(QStringLiteral("The source's video bit rate \"%1\" is not a whole number.")
                            .arg(info.videoKbps));
        }
        parts.videoKbps = *rate;
    } else if (levelChosen) {
        std::optional<int> height;
        if (size_.currentText() == ProfileCatalog::kOriginalSize) {
            height = PictureSize::heightOf(info.dimensions);
            if (!height) {
                return fail(QStringLiteral("The source's picture size \"%1\" is not width x "
                                           "height.")
                                .arg(info.dimensions));
            }
        } else {
            // A size entry that names no height ("No Video") counts as no video rate.
            height = PictureSize::heightOf(PictureSize::sizeTextOfEntry(size_.currentText()));
        }
        if (height) {
            const double factor =
                ProfileCatalog::videoFactors(profile)[static_cast<size_t>(videoLevel)];
            // Halves go to the even neighbour (the default rounding mode).
            parts.videoKbps = static_cast<int>(std::nearbyint(*height * factor));
        }
    }

    // Audio.
    const int audioLevel = audio_.itemIndex();
    const bool originalAudio = audio_.currentText() == ProfileCatalog::kOriginalAudio;
    const bool audioLevelChosen = audioLevel >= 0 && audioLevel < ProfileCatalog::kQualityLevels;
    if (!originalAudio && !audioLevelChosen) {
        return fail(QStringLiteral("No audio quality is chosen."));
    }
    if (ProfileCatalog::isMobileAudioExtension(extension())) {
        // AMR has five rates only; keeping the source's rate means its best one, 12.2.
        const double amr =
            ProfileCatalog::amrRates()[originalAudio ? 0 : static_cast<size_t>(audioLevel)];
        parts.audioKbps = static_cast<int>(std::lround(amr));
        parts.audioBitsPerSecond = std::llround(amr * 1000.0);
    } else if (originalAudio) {
        const std::optional<int> rate = wholeNumber(info.audioKbps, kMaxKbps);
        if (!rate) {
            return fail(QStringLiteral("The source's audio bit rate \"%1\" is not a whole number.")
                            .arg(info.audioKbps));
        }
        // A rate of 0 means the source's rate is unknown; an encoder asked for 0 bit/s fails
        // (wmav2) or guesses, so use the rate Add file assumes for such sources.
        parts.audioKbps = *rate > 0 ? *rate : kUnknownAudioKbps;
        parts.audioBitsPerSecond = qint64{parts.audioKbps} * 1000;
    } else {
        parts.audioKbps = ProfileCatalog::audioRates()[static_cast<size_t>(audioLevel)];
        parts.audioBitsPerSecond = qint64{parts.audioKbps} * 1000;
    }

    parts.totalKbps = parts.videoKbps + parts.audioKbps;
    return parts;
}

std::optional<int> ProfileSelection::totalRateKbps(int row) const {
    const std::optional<RateParts> parts = rateParts(row);
    if (!parts) {
        return std::nullopt;
    }
    return parts->totalKbps;
}

QString ProfileSelection::estimateOutputSize(int row) const {
    const std::optional<int> total = totalRateKbps(row);
    if (!total) {
        return {};
    }
    const qint64 seconds = std::max<qint64>(0, secondsOfTimeValue(jobs_.jobInfo(row).duration));
    // 64-bit: a long file at a high rate overflows 32 bits (3222 kbit/s x 12 h already does).
    const qint64 kilobits = qint64{*total} * seconds;
    const double megabytes = static_cast<double>(kilobits) / 8.0 / 1024.0 * 1000.0 / 1024.0;

    // Five significant digits, then two decimals; from 100000 on, exponent form.
    // QString::number always writes '.', whatever the locale.
    const double rounded = QString::number(megabytes, 'g', 5).toDouble();
    if (rounded >= 100000.0) {
        return QString::number(megabytes, 'E', 4) + QStringLiteral("MB");
    }
    return QString::number(rounded, 'f', 2) + QStringLiteral("MB");
}
