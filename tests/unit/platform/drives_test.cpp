#include "platform/drives.h"

#include <gtest/gtest.h>

#include "../../support/qt_gtest.h"

namespace {

// The mount that holds a path is the longest mount point above it; it is optical by its
// source device or its file system.
TEST(Drives, MountOfPathFromMountinfo) {
    const QString mountinfo = QStringLiteral(
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "30 22 11:0 / /media/My\\040Disc ro,nosuid shared:9 - iso9660 /dev/sr0 ro\n"
        "31 22 0:40 / /media/usb rw - vfat /dev/sdb1 rw\n"
        "32 22 0:41 / /mnt/image ro - udf /dev/loop3 ro\n"
        "33 22 0:42 / /mnt/sr rw - ext4 /dev/sr1 rw\n"
        "34 31 0:43 / /media/usb/inner rw master:2 - tmpfs tmpfs rw\n"
        "broken line\n");
    const struct {
        const char* path;
        const char* mountPoint;
        bool optical;
    } cases[] = {
        {"/media/My Disc/VIDEO_TS", "/media/My Disc", true},
        {"/media/My Disc", "/media/My Disc", true},
        {"/media/My Discs/VIDEO_TS", "/", false},
        {"/mnt/image/VIDEO_TS", "/mnt/image", true},
        {"/mnt/sr", "/mnt/sr", true},
        {"/media/usb/inner/x", "/media/usb/inner", false},
        {"/home/me/dvd", "/", false},
    };
    for (const auto& c : cases) {
        const platform::MountOfPath m = platform::mountOfPath(mountinfo, c.path);
        EXPECT_EQ(m.mountPoint, c.mountPoint) << c.path;
        EXPECT_EQ(m.optical, c.optical) << c.path;
    }
    // The folder dialog's places: mounts under the media folders, and optical ones anywhere.
    EXPECT_EQ(platform::mediaMountPoints(mountinfo + "35 22 0:44 / /srv/disc ro - udf /dev/sr2 ro\n"
                                                     "36 22 0:45 / /run/media/me/stick rw - vfat "
                                                     "/dev/sdc1 rw\n"),
              QStringList({"/media/My Disc", "/media/usb", "/mnt/image", "/mnt/sr",
                           "/media/usb/inner", "/srv/disc", "/run/media/me/stick"}));
}

}  // namespace
