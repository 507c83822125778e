#include <QStorageInfo>

#include "platform/drives.h"

namespace platform {

// What Qt's storage query tells: the file system type and the device of the mount. A port
// asks its system for the drive type instead (Windows: GetDriveType on the drive root).
bool SystemDrives::isOpticalDrive(const QString& folder) {
    const QStorageInfo storage(folder);
    const QByteArray type = storage.fileSystemType();
    return storage.device().startsWith("/dev/sr") || type == "iso9660" || type == "udf";
}

void SystemDrives::queryVolume(const QString& folder) {
    // The answer is not used: the query returning is the news.
    QStorageInfo storage(folder);
    storage.refresh();
}

}  // namespace platform
