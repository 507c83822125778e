#include <sys/statvfs.h>

#include <QFile>
#include <QFileInfo>

#include "platform/drives.h"

namespace platform {

// Linux: the mount table of /proc and statvfs (other Unixes build the portable drives).
namespace {

QString resolved(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(folder).absoluteFilePath() : canonical;
}

QString mountTable() {
    QFile f(QStringLiteral("/proc/self/mountinfo"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

QStringList mountedMedia() {
    return mediaMountPoints(mountTable());
}

bool SystemDrives::isOpticalDrive(const QString& folder) {
    return mountOfPath(mountTable(), resolved(folder)).optical;
}

void SystemDrives::queryVolume(const QString& folder) {
    QString root = mountOfPath(mountTable(), resolved(folder)).mountPoint;
    if (root.isEmpty()) {
        root = folder;
    }
    struct statvfs info {};
    // The result is not used: the call returning is the news.
    (void)statvfs(QFile::encodeName(root).constData(), &info);
}

}  // namespace platform
