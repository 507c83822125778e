#include "platform/drives.h"

#include <QStringList>

namespace platform {

namespace {

// mountinfo escapes blanks and a few other characters as \ooo.
QString unescaped(const QString& field) {
    QString out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field.at(i) == QLatin1Char('\\') && i + 3 < field.size()) {
            bool ok = false;
            const int code = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += QChar(code);
                i += 3;
                continue;
            }
        }
        out += field.at(i);
    }
    return out;
}

bool holds(const QString& mountPoint, const QString& path) {
    if (mountPoint == QLatin1String("/")) {
        return path.startsWith(QLatin1Char('/'));
    }
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}

// One line of the mount table.
struct Mount {
    QString mountPoint;
    bool optical = false;
};

QList<Mount> mountsOf(const QString& mountinfo) {
    QList<Mount> mounts;
    for (const QString& line : mountinfo.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // id parent major:minor root mountpoint options [optional...] - fstype source super
        const QStringList f = line.split(QLatin1Char(' '));
        const qsizetype dash = f.indexOf(QStringLiteral("-"));
        if (f.size() < 5 || dash < 5 || dash + 2 >= f.size()) {
            continue;
        }
        const QString type = f.at(dash + 1);
        const QString source = unescaped(f.at(dash + 2));
        mounts.append({unescaped(f.at(4)), source.startsWith(QLatin1String("/dev/sr")) ||
                                               type == QLatin1String("iso9660") ||
                                               type == QLatin1String("udf")});
    }
    return mounts;
}

}  // namespace

MountOfPath mountOfPath(const QString& mountinfo, const QString& path) {
    MountOfPath best;
    for (const Mount& mount : mountsOf(mountinfo)) {
        if (holds(mount.mountPoint, path) && mount.mountPoint.size() >= best.mountPoint.size()) {
            best = {mount.mountPoint, mount.optical};
        }
    }
    return best;
}

QStringList mediaMountPoints(const QString& mountinfo) {
    QStringList media;
    for (const Mount& mount : mountsOf(mountinfo)) {
        const bool removablePlace = mount.mountPoint.startsWith(QLatin1String("/media/")) ||
                                    mount.mountPoint.startsWith(QLatin1String("/run/media/")) ||
                                    mount.mountPoint.startsWith(QLatin1String("/mnt/"));
        if ((removablePlace || mount.optical) && !media.contains(mount.mountPoint)) {
            media << mount.mountPoint;
        }
    }
    return media;
}

}  // namespace platform
