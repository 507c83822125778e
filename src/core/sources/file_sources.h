#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "core/engine/job_list.h"
#include "core/profiles/output_estimates.h"
#include "core/shell/command_guards.h"
#include "core/shell/user_interface.h"
#include "core/sources/add_batch.h"
#include "core/sources/media_probe.h"

// The video edition's sources: Add Files, Add Folder, Remove and Clear. Adding is an add batch:
// the files are probed concurrently (at most probeLimit() at a time) and their rows appear in
// the order the files were given, whatever order the probes end in. While a batch runs, the
// commands that change the list are refused (the busy guard), and so is Convert. The batch's
// scheduling is AddBatch's; here are the probes and the rows they give.
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
        int added = 0;
        QList<Skipped> skipped;
        bool cancelled = false;
        // The encoder could not be started at all: said once, and the batch ended there.
        QString encoderProblem;
    };

    FileSources(JobList& jobs, const OutputEstimates& estimates, CommandGuards& guards,
                UserInterface& ui, QString encoderPath, QString workFolder,
                QObject* parent = nullptr);
    ~FileSources() override;

    // How many probes run at once; the number of cores unless set.
    int probeLimit() const { return batch_.limit(); }
    void setProbeLimit(int limit);
    void setProbeTimeoutMs(int ms) { probeTimeoutMs_ = ms; }

    // The commands as the window reaches them: the file-open dialog and the folder dialog.
    void openFiles();
    void openFolder();
    // Add Files and Add Folder with the paths already chosen. Return at once; false when the
    // command was refused (a warning was shown). batchFinished() follows every true.
    bool addFiles(const QStringList& paths);
    bool addFolder(const QString& folder);
    // Files and folders in one batch, in the order given (dropped on the window): a folder
    // adds what Add Folder would take from it.
    bool addPaths(const QStringList& paths);
    void remove();
    void clear();

    // The add batch's busy state (set while files are being examined).
    bool busy() const { return batch_.busy(); }
    // Ends the probes under way; no further file of the batch is added.
    void cancel() { batch_.cancel(); }

    // "clip.avi" -> "clip", "a.b.mp4" -> "a.b", "clip" -> "clip", folders left off.
    static QString captionOf(const QString& path);
    // What Add Folder finds in a folder: the entries lying directly in it whose extension, in
    // lower case, is a folder extension, in the order a Windows file system lists them (by
    // name, without regard to case). Plain files (or links to them) are taken; every other
    // such entry (a folder, a pipe or device, a link to nothing or a link loop, a name that is
    // not valid UTF-8) is skipped with its reason. The temporary files of conversions under
    // way (or killed) are not sources and are passed over without a word.
    struct FolderScan {
        QStringList files;
        QList<Skipped> skipped;
    };
    static FolderScan scanFolder(const QString& folder);
    // Why a path cannot be a source (not a plain file, or a link to one); empty when it can.
    static QString notAFileReason(const QString& path);
    // The entries of folder whose names are not valid UTF-8 (Qt cannot name such a file), with
    // the reason; names shown with "\xNN" for bytes beyond ASCII.
    static QList<Skipped> undecodableEntries(const QString& folder);
    static const QString kUndecodableReason;

  signals:
    void busyChanged(bool busy);
    // A file was not added (the front end tells the user; the list does not).
    void fileSkipped(const QString& path, const QString& reason);
    void rowAdded(int row);
    void batchFinished(const FileSources::AddReport& report);
    // An added row's estimate could not be worked out (a damaged record, a source rate that
    // is no number): said once a batch; the row shows no estimate.
    void problem(const QString& text);

  private:
    struct Pending {
        QString path;
        std::optional<MediaProbe::Result> result;
        QString skipReason;  // known without a probe (no such file, a folder)
    };

    bool refusedWhileBusy();
    void selectFirstIfNone();
    void startBatch(const QStringList& paths, const QList<Skipped>& known);
    void startProbe(size_t index);
    void probeFinished(MediaProbe* probe, const MediaProbe::Result& result);
    void cancelProbes();
    // Adds the row (or reports the skip) of a pending file.
    void commit(size_t index);
    void finishBatch();
    // The row of a probed file, or the reason it is not added.
    // *estimateError says why the row has no estimate, when it has none.
    std::optional<QString> rowOf(const MediaProbe::Result& result, JobList::Row& row,
                                 QString* estimateError) const;

    JobList& jobs_;
    const OutputEstimates& estimates_;
    CommandGuards& guards_;
    UserInterface& ui_;
    QString encoderPath_;
    QString workFolder_;
    int probeTimeoutMs_ = MediaProbe::kDefaultTimeoutMs;
    QList<MediaProbe*> probes_;
    QHash<const MediaProbe*, size_t> probing_;  // which pending file each running probe examines
    std::vector<Pending> pending_;
    AddReport report_;
    QString estimateProblem_;  // the batch's first, said when it ends
    AddBatch batch_;
};
