#include <QStorageInfo>
#include <QStringList>

#include "platform/drives.h"

namespace platform {

namespace {

bool isOptical(const QStorageInfo& storage) {
    const QByteArray type = storage.fileSystemType();
    return storage.device().startsWith("/dev/sr") || type == "iso9660" || type == "udf";
}

}  // namespace

// What Qt's storage query tells: the file system type and the device of the mount. A port
// asks its system for the drive type instead (Windows: GetDriveType on the drive root).
bool SystemDrives::isOpticalDrive(const QString& folder) {
    return isOptical(QStorageInfo(folder));
}

QStringList mountedMedia() {
    // Qt's volumes: the removable places and optical drives, as the mount table would give.
    QStringList media;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (isOptical(volume) || root.startsWith(QLatin1String("/media/")) ||
            root.startsWith(QLatin1String("/run/media/")) ||
            root.startsWith(QLatin1String("/mnt/"))) {
            media << root;
        }
    }
    return media;
}

void SystemDrives::queryVolume(const QString& folder) {
    // The answer is not used: the query returning is the news.
    QStorageInfo storage(folder);
    storage.refresh();
}

}  // namespace platform
