#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/engine/app_state.h"
#include "core/engine/job_list.h"
#include "core/profiles/profile_selection.h"
#include "core/shell/user_interface.h"
#include "core/sources/media_probe.h"

// The video edition's sources: Add Files, Add Folder, Remove and Clear, and Add file, which
// probes one file and appends its row with its record and size estimate.
//
// While a probe is under way (AppState::probing) the commands that change the list (Add
// Files, Add Folder, Remove, Clear) are refused (CommandGuards); so is Convert, by the queue.
class FileSources : public QObject {
    Q_OBJECT
  public:
    static const QString kClearQuestion;
    // The extensions Add Folder takes, lower case.
    static const QStringList& folderExtensions();

    // A file that was not added, and why.
    struct Skipped {
        QString path;
        QString reason;
    };
    struct AddReport {
        bool refused = false;  // the command was refused by a guard (a warning was shown)
        int added = 0;
        QList<Skipped> skipped;
    };

    FileSources(AppState& state, JobList& jobs, ProfileSelection& selection, MediaProbe& probe,
                UserInterface& ui, QObject* parent = nullptr);

    // The commands as the front ends reach them: the file-open dialog and the folder dialog
    // of the user interface.
    AddReport openFiles();
    AddReport openFolder();
    // Add Files and Add Folder with the paths already chosen.
    AddReport addFiles(const QStringList& paths);
    AddReport addFolder(const QString& folder);
    void remove();
    void clear();

    // Probes path and appends its row; the reason when it was not added.
    std::optional<QString> addFile(const QString& path);
    // Ends the probe under way and adds no further file of the command that runs.
    void cancel();

    // "clip.avi" -> "clip", "a.b.mp4" -> "a.b", "clip" -> "clip", folders left off.
    static QString captionOf(const QString& path);
    // The files Add Folder takes from folder, in the order a Windows file system lists them
    // (by name, without regard to case): plain files lying directly in it whose extension,
    // in lower case, is a folder extension.
    static QStringList folderEntries(const QString& folder);

  signals:
    // A file was not added (the front end tells the user; the list does not).
    void fileSkipped(const QString& path, const QString& reason);
    void fileAdded(int row);

  private:
    // Refused while converting or while a probe runs (a warning is shown).
    bool refusedWhileBusy();
    void selectFirstIfNone();
    // Add file for each path in turn, until cancelled; skipped files go into the report.
    void addEach(const QStringList& paths, AddReport& report);

    AppState& state_;
    JobList& jobs_;
    ProfileSelection& selection_;
    MediaProbe& probe_;
    UserInterface& ui_;
    bool cancelled_ = false;
};
