#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QThread>
#include <memory>

#include "core/shell/command_guards.h"
#include "core/shell/user_interface.h"
#include "core/sources/dvd_titles.h"
#include "platform/drives.h"

// The drive wait's worker: asks the drive about its volume and says when it has answered,
// whatever the answer. It frees itself when it ends, so a drive that never answers keeps only
// this thread.
class TDVDROMisOPEN : public QThread {
    Q_OBJECT
  public:
    TDVDROMisOPEN(std::shared_ptr<platform::Drives> drives, QString driveFolder);

  signals:
    void answered();

  protected:
    void run() override;

  private:
    std::shared_ptr<platform::Drives> drives_;
    QString driveFolder_;
};

// Add DVD: a folder chosen with "Select DVD Directory", the drive wait when it lies on an
// optical drive (the window stays responsive; the command is busy meanwhile), then the search
// for title set IFO files in it and in a "video_ts" sub-folder, each read into the DVD titles.
class DvdDiscovery : public QObject {
    Q_OBJECT
  public:
    static const QString kNoDiscText;     // "Can't find DVD disc."
    static const QString kFolderCaption;  // "Select DVD Directory"

    DvdDiscovery(DvdTitles& titles, CommandGuards& guards, UserInterface& ui,
                 std::shared_ptr<platform::Drives> drives, QObject* parent = nullptr);

    // The command: its guards, the folder dialog, then addDvdFolder.
    void openDvd();
    // Add DVD image: its guards, the file dialog for a disc image, then addDvdFolder.
    void openDvdImage();
    // Add DVD with the folder (or disc image) already chosen. Returns at once; false when
    // refused. finished() follows every true, at once or after the drive wait.
    bool addDvdFolder(const QString& folder);

    // discWaiting: set while the drive wait runs. Commands that change the list are refused.
    bool busy() const { return discWaiting_; }

    // Search: reads the title set IFO files of folder (VIDEO_TS.IFO left out) and of its
    // "video_ts" sub-folder, in name order (letter case aside, as Windows lists a folder), all
    // in one batch; or every title set of a disc image. true when one was found.
    bool search(const QString& folder);

  signals:
    void busyChanged(bool busy);
    // found: at least one title set IFO file was found (rows may still be none).
    void finished(bool found);

  private:
    // The title set IFO files Search reads, appended to `paths`; true when there was one.
    bool collectTitleSets(const QString& folder, QSet<QString>& entered, QStringList& paths);
    bool refused();
    void afterDriveWait();

    DvdTitles& titles_;
    CommandGuards& guards_;
    UserInterface& ui_;
    std::shared_ptr<platform::Drives> drives_;
    QString folder_;
    bool discWaiting_ = false;
};
