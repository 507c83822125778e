#include "core/sources/dvd_discovery.h"

#include <QDir>
#include <QFileInfo>

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

void DvdDiscovery::openDvd() {
    // The drive wait counts as adding: a second Add DVD during it is refused.
    if (guards_.refusedWhileConverting() || guards_.refusedWhilePlaying() ||
        guards_.refusedWhileAdding()) {
        return;
    }
    const QString folder = ui_.chooseFolder(kFolderCaption);
    if (!folder.isEmpty()) {
        addDvdFolder(folder);
    }
}

bool DvdDiscovery::addDvdFolder(const QString& folder) {
    if (guards_.refusedWhileConverting() || guards_.refusedWhilePlaying() ||
        guards_.refusedWhileAdding()) {
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
    QSet<QString> entered;
    return searchFolder(folder, entered);
}

bool DvdDiscovery::searchFolder(const QString& folder, QSet<QString>& entered) {
    // A "video_ts" link that leads back to a folder already searched ends here, not in an
    // endless descent.
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty() || entered.contains(canonical)) {
        return false;
    }
    entered.insert(canonical);
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    bool found = false;
    for (const QFileInfo& entry : entries) {
        const QString lower = entry.fileName().toLower();
        if (lower.endsWith(QLatin1String(".ifo")) && !entry.isDir()) {
            // VIDEO_TS.IFO describes the disc's menus, not a title set.
            if (lower == QLatin1String("video_ts.ifo")) {
                continue;
            }
            titles_.readTitleSet(dir.filePath(entry.fileName()));
            found = true;
        } else if (entry.isDir() && lower == QLatin1String("video_ts")) {
            if (searchFolder(dir.filePath(entry.fileName()), entered)) {
                return true;
            }
        }
    }
    return found;
}
