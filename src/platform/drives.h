#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// What the machine says about the drive that holds a folder. Tests replace this.
class Drives {
  public:
    virtual ~Drives() = default;
    // True when the folder lies on an optical drive (a disc that may still be spinning up).
    virtual bool isOpticalDrive(const QString& folder) = 0;
    // Asks the drive that holds `folder` about its volume; blocks until the drive answers,
    // which for an optical drive can take seconds. The answer itself is of no interest: only
    // that the drive has answered. Safe to call from a worker thread.
    virtual void queryVolume(const QString& folder) = 0;
};

// The real machine: on Linux the mount table (/proc/self/mountinfo) and statvfs; elsewhere
// Qt's storage query.
class SystemDrives : public Drives {
  public:
    bool isOpticalDrive(const QString& folder) override;
    void queryVolume(const QString& folder) override;
};

// From the text of a mountinfo file, the mount point and whether it is an optical drive
// (source /dev/sr*, or file system iso9660 or udf) for `path` (absolute, no symlinks): the
// longest mount point that holds it.
struct MountOfPath {
    QString mountPoint;
    bool optical = false;
};
MountOfPath mountOfPath(const QString& mountinfo, const QString& path);

// From the text of a mountinfo file, the mount points of removable and optical media, in the
// table's order: those under /media, /run/media and /mnt, and optical ones anywhere.
QStringList mediaMountPoints(const QString& mountinfo);
// The same for this machine's mount table.
QStringList mountedMedia();

}  // namespace platform
