#include "core/profiles/profile_selection.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <utility>

#include "core/engine/whole_number.h"
#include "core/profiles/profile_catalog.h"
#include "core/profiles/profile_file.h"
#include "platform/edition.h"

namespace {

constexpr int kNormalLevel = 2;
constexpr int kStereo = 1;

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

ProfileSelection::ProfileSelection(QString programFileName, ChoicesStore& choices,
                                   QString profilesPopPath, QObject* parent)
    : QObject(parent),
      programFileName_(std::move(programFileName)),
      choices_(choices),
      profilesPopPath_(std::move(profilesPopPath)),
      video_(fixedQualityEntries(), -1),
      audio_(fixedQualityEntries(), -1),
      channel_({ProfileCatalog::channelNames()[0], ProfileCatalog::channelNames()[1]}, kStereo) {
    // A user's change of any list only refreshes the estimates; choices are stored when
    // another profile is selected.
    for (ChoiceList* list : {&size_, &video_, &audio_, &channel_}) {
        connect(list, &ChoiceList::userChanged, this, [this](int) { emit choicesChanged(); });
    }
}

int ProfileSelection::activeProfile() const {
    // The picker moves currentProfile on mere hovering; what the lists, the option text and
    // the name show is always the profile last selected.
    return previousProfile_ > 0 ? previousProfile_ : currentProfile_;
}

bool ProfileSelection::isDvdEdition() const {
    return platform::isDvdEdition(programFileName_);
}

RateChoices ProfileSelection::rateChoices() const {
    RateChoices c;
    c.profile = activeProfile();
    c.extension = extension();
    c.sizeEntry = size_.currentText();
    c.videoLevel = video_.itemIndex();
    c.videoEntry = video_.currentText();
    c.audioLevel = audio_.itemIndex();
    c.audioEntry = audio_.currentText();
    c.videoRates = videoRates_;
    return c;
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

    if (category_ >= 1 && category_ <= 14) {
        emit categoryPictureShown(category_);
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
    emit displayNameShown(currentDisplayName_);

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
                                !ProfileCatalog::isMp4Extension(extension()) && !isDvdEdition();
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
    for (const ChoiceDefault& choice : ProfileCatalog::defaultChoicesOf(number, isDvdEdition())) {
        const ChoiceList* list = &listForKey(choice.key);
        if (list->itemIndex() >= 0) {
            choices_.writeInt(QString::number(number), choice.key, list->itemIndex());
        }
    }
}

void ProfileSelection::restoreChoices(int number) {
    const QString section = QString::number(number);
    for (const ChoiceDefault& choice : ProfileCatalog::defaultChoicesOf(number, isDvdEdition())) {
        ChoiceList* list = &listForKey(choice.key);
        const std::optional<QString> text = choices_.readText(section, choice.key);
        const std::optional<qint64> stored = text ? wholeNumber(*text, 999'999) : std::nullopt;
        if (stored && *stored < list->count()) {
            list->setItemIndex(static_cast<int>(*stored));
            continue;
        }
        if (text) {
            sayUnusable(section, choice.key, *text);
        }
        // The profile's default, as if nothing had been stored; where the list does not hold
        // that either (profile 4's default 5 once ".mp4" has taken the "original" entries
        // away): "Normal" for the quality lists, "Stereo" for the channels, the last size
        // entry (the largest picture the profile offers, or the source's own size).
        list->setItemIndex(choice.index >= 0 && choice.index < list->count()
                               ? choice.index
                               : fallbackFor(choice.key, *list));
    }
}

void ProfileSelection::sayUnusable(const QString& section, const QString& key,
                                   const QString& text) {
    const QString slot = section + QLatin1Char('/') + key.toLower();
    if (said_.contains(slot)) {
        return;
    }
    said_.insert(slot);
    QString shown = text.left(32);
    for (QChar& c : shown) {
        if (!c.isPrint()) {
            c = u'?';
        }
    }
    emit problem(QStringLiteral("%1 holds an unusable %2 in [%3] (\"%4\"); the profile's "
                                "default is used instead.")
                     .arg(choices_.location(), key, section, shown));
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
