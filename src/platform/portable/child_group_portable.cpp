#include <QProcess>

#include "platform/child_group.h"

namespace platform {

// Qt has no process groups and no death signal: the child shares this process's group (a
// terminal's Ctrl-C reaches both) and is asked or killed alone; what it started is reached
// only through it (register.dat passes a stop on to its FFmpeg). A port gives this a group
// of its own (Windows: a job object that kills its processes when its last handle closes).
void startChild(QProcess& process, QIODevice::OpenMode mode) {
    process.start(mode);
}

bool childrenEndWithParent() {
    return false;
}

void signalGroup(QProcess& process, GroupSignal signal) {
    if (signal == GroupSignal::Kill) {
        process.kill();
    } else {
        process.terminate();
    }
}

}  // namespace platform
