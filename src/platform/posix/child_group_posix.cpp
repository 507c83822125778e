#include <QProcess>  // first: it tells Q_OS_LINUX

#include <signal.h>
#include <unistd.h>

#include "platform/child_group.h"
#include "platform/posix/shared_posix.h"

namespace platform {

void startChild(QProcess& process, QIODevice::OpenMode mode) {
    // The death signal survives exec.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        if (!posix::prepareChild(parent)) {
            ::_exit(127);
        }
    });
    process.start(mode);
}

bool childrenEndWithParent() {
#ifdef Q_OS_LINUX
    return true;
#else
    return false;  // other Unixes have no death signal; a killed front end leaves its child
#endif
}

void signalGroup(QProcess& process, GroupSignal signal) {
    const qint64 pid = process.processId();
    if (pid > 0) {
        ::kill(-static_cast<pid_t>(pid), signal == GroupSignal::Kill ? SIGKILL : SIGTERM);
    }
    if (signal == GroupSignal::Kill) {
        process.kill();  // the child itself, should it have left the group
    }
}

}  // namespace platform
