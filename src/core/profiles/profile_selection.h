#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <optional>

#include "core/engine/app_state.h"
#include "core/engine/job_list.h"
#include "core/profiles/choice_list.h"
#include "platform/ini_file.h"

// Where the selected profile's name and category picture are shown (the skin's "profilestext"
// and category image). Front ends implement it; the core never touches widgets.
class ProfileDisplay {
  public:
    virtual ~ProfileDisplay() = default;
    virtual void showProfileText(const QString& displayName) = 0;
    virtual void showCategoryPicture(int category) = 0;
};

// The selected profile and its four lists (cb_size, cb_videobitrate, cb_audiobitrate,
// cb_channel), the per-profile stored choices, and the size estimate of every row.
class ProfileSelection : public QObject {
    Q_OBJECT
  public:
    // profilesPopPath: full path of profiles.pop; choices: the profile choices file.
    ProfileSelection(AppState& state, JobList& jobs, platform::IniFile choices,
                     QString profilesPopPath, QObject* parent = nullptr);

    ChoiceList& sizeList() { return size_; }
    ChoiceList& videoList() { return video_; }
    ChoiceList& audioList() { return audio_; }
    ChoiceList& channelList() { return channel_; }
    const ChoiceList& sizeList() const { return size_; }
    const ChoiceList& videoList() const { return video_; }
    const ChoiceList& audioList() const { return audio_; }
    const ChoiceList& channelList() const { return channel_; }

    void setDisplay(ProfileDisplay* display) { display_ = display; }
    void setCategory(int category) { category_ = category; }
    int category() const { return category_; }

    // currentProfile: set by the picker (also on hover) and by start-up, before selectProfile.
    int currentProfile() const { return currentProfile_; }
    void setCurrentProfile(int number) { currentProfile_ = number; }
    int previousProfile() const { return previousProfile_; }
    // The profile that sizing and option assembly follow: the one last selected.
    int activeProfile() const;

    QString currentDisplayName() const { return currentDisplayName_; }
    QString extension() const;  // of currentDisplayName
    const std::array<QString, 5>& videoRates() const { return videoRates_; }
    // The selected profile's codec options (record line 4), taken over for the next jobs.
    const QString& profileArgs() const { return profileArgs_; }

    // Selects profile `number` (also sets currentProfile). false with *error set when
    // profiles.pop cannot be read; the lists then keep what they held.
    bool selectProfile(int number, QString* error = nullptr);
    void storeChoices(int number);
    void restoreChoices(int number);

    void refreshEstimates();
    // Total kbit/s (video + audio) of the current choices for row `row`; nullopt when a value
    // it needs is not a number.
    std::optional<int> totalRateKbps(int row) const;
    // "7.15MB"; empty when the total cannot be worked out.
    QString estimateOutputSize(int row) const;

    // The parts of totalRateKbps for row `row`. Option assembly derives its video and audio
    // rates from these, so the estimate and the encoder options always agree.
    struct RateParts {
        int videoKbps = 0;              // 0: no video rate (audio-only or no picture height)
        int audioKbps = 0;              // as counted in the total (AMR rates rounded)
        qint64 audioBitsPerSecond = 0;  // as handed to the encoder (AMR rates exact: 7400)
        int totalKbps = 0;              // video + audio, or a disc profile's fixed total
    };
    // nullopt with *error set when a value it needs is not a whole number.
    std::optional<RateParts> rateParts(int row, QString* error = nullptr) const;

  signals:
    void profileSelected(int number);

  private:
    void buildSizeList(int number, const QStringList& entries);
    void setUpQualityLists(int number, const QString& rateLine);
    // Selects a valid entry when a list has none (see the .cpp for which one).
    static void ensureChoice(ChoiceList& list, int fallback);
    void ensureChoices();
    // The list that a stored-choices key ("size", "video bitrate", ...) belongs to.
    ChoiceList& listForKey(const QString& key);

    AppState& state_;
    JobList& jobs_;
    platform::IniFile choices_;
    QString profilesPopPath_;
    ProfileDisplay* display_ = nullptr;
    ChoiceList size_;
    ChoiceList video_;
    ChoiceList audio_;
    ChoiceList channel_;
    int currentProfile_ = -1;
    int previousProfile_ = 0;
    int category_ = 1;
    QString currentDisplayName_;
    std::array<QString, 5> videoRates_;
    QString profileArgs_;
};
