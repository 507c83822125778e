#include "core/sources/dvd_discovery.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "core/sources/name_order.h"

const QString DvdDiscovery::kNoDiscText = QStringLiteral("Can't find DVD disc.");
const QString DvdDiscovery::kFolderCaption = QStringLiteral("Select DVD Directory");

TDVDROMisOPEN::TDVDROMisOPEN(std::shared_ptr<platform::Drives> drives, QString driveFolder)
    : drives_(std::move(drives)), driveFolder_(std::move(driveFolder)) {
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TDVDROMisOPEN::run() {
    drives_->queryVolume(driveFolder_);
    emit answered();
}

DvdDiscovery::DvdDiscovery(DvdTitles& titles, CommandGuards& guards, UserInterface& ui,
                           std::shared_ptr<platform::Drives> drives, QObject* parent)
    : QObject(parent), titles_(titles), guards_(guards), ui_(ui), drives_(std::move(drives)) {}

bool DvdDiscovery::refused() {
    // The drive wait counts as adding: a second Add DVD during it is refused.
    return guards_.refusedWhileConverting() || guards_.refusedWhilePlaying() ||
           guards_.refusedWhileAdding();
}

void DvdDiscovery::openDvd() {
    if (refused()) {
        return;
    }
    const QString folder = ui_.chooseFolder(kFolderCaption);
    if (!folder.isEmpty()) {
        addDvdFolder(folder);
    }
}

void DvdDiscovery::openDvdImage() {
    if (refused()) {
        return;
    }
    const QString image = ui_.chooseDvdImage();
    if (!image.isEmpty()) {
        addDvdFolder(image);
    }
}

bool DvdDiscovery::addDvdFolder(const QString& folder) {
    if (refused()) {
        return false;
    }
    folder_ = folder;
    titles_.beginLoad();
    if (!drives_->isOpticalDrive(folder)) {
        afterDriveWait();
        return true;
    }
    discWaiting_ = true;
    emit busyChanged(true);
    auto* worker = new TDVDROMisOPEN(drives_, folder);
    // Queued: the answer comes from the worker's thread and is handled on this one.
    connect(worker, &TDVDROMisOPEN::answered, this, &DvdDiscovery::afterDriveWait,
            Qt::QueuedConnection);
    worker->start();
    return true;
}

void DvdDiscovery::afterDriveWait() {
    if (discWaiting_) {
        discWaiting_ = false;
        emit busyChanged(false);
    }
    const bool found = search(folder_);
    if (!found) {
        ui_.information(kNoDiscText);
    } else {
        titles_.finishLoading();
    }
    emit finished(found);
}

bool DvdDiscovery::search(const QString& folder) {
    QStringList paths;
    bool found = false;
    if (QFileInfo(folder).isDir()) {
        QSet<QString> entered;
        found = collectTitleSets(folder, entered, paths);
    } else {
        paths << folder;  // a disc image: libdvdread finds its title sets
    }
    for (const TitleSetRead& read : titles_.readTitleSets(paths)) {
        if (read.ifoPath == folder) {
            // The image as a whole could not be read: it has no title set to list.
            titles_.reportUnreadable(read);
            continue;
        }
        titles_.addTitleSet(read);
        found = true;
    }
    return found;
}

bool DvdDiscovery::collectTitleSets(const QString& folder, QSet<QString>& entered,
                                    QStringList& paths) {
    // A "video_ts" link that leads back to a folder already searched ends here, not in an
    // endless descent.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || entered.contains(canonical)) {
        return false;
    }
    entered.insert(canonical);
    const QDir dir(folder);
    QStringList names = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    // In name order whatever the file system's order, so that title sets come in the disc's
    // own numbering.
    std::sort(names.begin(), names.end(), windowsNameOrder);
    bool found = false;
    for (const QString& name : std::as_const(names)) {
        const QString lower = name.toLower();
        const QFileInfo entry(dir.filePath(name));
        if (lower.endsWith(QLatin1String(".ifo")) && !entry.isDir()) {
            // VIDEO_TS.IFO describes the disc's menus, not a title set.
            if (lower == QLatin1String("video_ts.ifo")) {
                continue;
            }
            paths << dir.filePath(name);
            found = true;
        } else if (entry.isDir() && lower == QLatin1String("video_ts")) {
            if (collectTitleSets(dir.filePath(name), entered, paths)) {
                return true;
            }
        }
    }
    return found;
}
