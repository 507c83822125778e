#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <array>
#include <optional>

#include "core/profiles/choice_list.h"
#include "core/profiles/choices_store.h"
#include "core/profiles/rate_plan.h"

// The selected profile and its four lists (cb_size, cb_videobitrate, cb_audiobitrate,
// cb_channel), with each profile's choices kept in a ChoicesStore between selections. It reads
// the profile's record from profiles.pop at each selection. Sizing and option assembly take
// their inputs from rateChoices(); the estimates are OutputEstimates' to show.
class ProfileSelection : public QObject {
    Q_OBJECT
  public:
    // programFileName decides the edition (its defaults and entries); profilesPopPath is the
    // full path of profiles.pop.
    ProfileSelection(QString programFileName, ChoicesStore& choices, QString profilesPopPath,
                     QObject* parent = nullptr);

    ChoiceList& sizeList() { return size_; }
    ChoiceList& videoList() { return video_; }
    ChoiceList& audioList() { return audio_; }
    ChoiceList& channelList() { return channel_; }
    const ChoiceList& sizeList() const { return size_; }
    const ChoiceList& videoList() const { return video_; }
    const ChoiceList& audioList() const { return audio_; }
    const ChoiceList& channelList() const { return channel_; }

    // The picker's current category, which chooses the category picture.
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
    // What sizing and option assembly read of the current choices.
    RateChoices rateChoices() const;

    // Selects profile `number` (also sets currentProfile). false with *error set when
    // profiles.pop cannot be read; the lists then keep what they held.
    bool selectProfile(int number, QString* error = nullptr);
    void storeChoices(int number);
    void restoreChoices(int number);

  signals:
    void profileSelected(int number);
    // The texts and picture the window shows for the selection ("profilestext", im_mainico).
    void displayNameShown(const QString& displayName);
    void categoryPictureShown(int category);
    // The user changed one of the four lists.
    void choicesChanged();
    // A stored choice could not be used (the default was), said once per profile and list.
    void problem(const QString& text);

  private:
    bool isDvdEdition() const;
    void buildSizeList(int number, const QStringList& entries);
    void setUpQualityLists(int number, const QString& rateLine);
    // Selects a valid entry when a list has none (see the .cpp for which one).
    static void ensureChoice(ChoiceList& list, int fallback);
    void ensureChoices();
    // The list that a stored-choices key ("size", "video bitrate", ...) belongs to.
    ChoiceList& listForKey(const QString& key);
    void sayUnusable(const QString& section, const QString& key, const QString& text);

    QString programFileName_;
    ChoicesStore& choices_;
    QString profilesPopPath_;
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
    QSet<QString> said_;  // "profile/key" of the unusable choices said so far
};
