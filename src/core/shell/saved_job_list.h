#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

#include "core/engine/saved_jobs.h"
#include "platform/file_system.h"

class ConversionQueue;
class DvdTitles;
class JobList;
class OutputEstimates;
class ProfileSelection;
class UserInterface;

// Keeps the job list on disk while the program runs, so that a crash, a power cut or a kill
// never costs the user the queue: each running program writes its own file under the state
// folder (jobs/<program>/), replaced atomically (temporary file, sync, rename, folder sync)
// whenever the list changes, at most every kDebounceMs and at once when a job ends. Beside it
// lies a lock file, claimed for the program's lifetime. A normal end removes both, so a list
// whose lock nobody claims was left behind by a run that did not end normally; the next start
// offers its unfinished rows again.
class SavedJobList : public QObject {
    Q_OBJECT
  public:
    static constexpr int kDebounceMs = 500;

    SavedJobList(QString programFileName, JobList& jobs, ProfileSelection& selection,
                 OutputEstimates& estimates, ConversionQueue& queue, DvdTitles& dvdTitles,
                 QObject* parent = nullptr);
    // A normal end: this program's list is no longer needed.
    ~SavedJobList() override;

    // The folder of this program's saved lists.
    QString folder() const;
    // Starts keeping the list saved (front ends call it once they are up); false with a
    // problem said when the folder cannot be written.
    bool keep();
    // This program's file, once keep() made its place.
    const QString& path() const { return path_; }
    // Writes the list now if it changed since the last write.
    void saveNow();

    // A list that a run of this program that did not end normally left behind, taken: claimed
    // so that no other start takes it too. Removed when it goes out of scope.
    struct LeftBehind {
        QString path;
        SavedJobs jobs;
        std::unique_ptr<platform::FileClaim> claim;
        ~LeftBehind();
        LeftBehind() = default;
        LeftBehind(LeftBehind&&) = default;
    };
    // The newest left-behind list with rows still to convert; lists with none are removed,
    // damaged ones set aside (renamed *.damaged) with a problem said.
    std::optional<LeftBehind> takeLeftBehind();
    // Puts a saved list's profile, choices, output folder and unfinished rows into the
    // session (a source that is gone is said and left out; DVD rows come back as their title
    // sets read now have them); the number of rows added.
    int restore(const SavedJobs& saved);
    // The window's start: asks whether to restore what a killed run left unconverted, and
    // does; the number of rows restored.
    int offerLeftBehind(UserInterface& ui);

  signals:
    void problem(const QString& text);

  private:
    SavedJobs snapshot() const;
    void schedule();
    void removeOwn();

    QString program_;
    JobList& jobs_;
    ProfileSelection& selection_;
    OutputEstimates& estimates_;
    ConversionQueue& queue_;
    DvdTitles& dvdTitles_;
    QString path_;
    QString lockPath_;
    std::unique_ptr<platform::FileClaim> lock_;
    QTimer debounce_;
    QByteArray written_;  // what the file holds now; empty: no file
    bool problemSaid_ = false;
};
