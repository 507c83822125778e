#include <QProcess>  // first: it tells Q_OS_LINUX

#include <signal.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

#include "platform/child_group.h"

namespace platform {

void startInOwnGroup(QProcess& process, QIODevice::OpenMode mode) {
    // The death signal survives exec; SIGTERM lets register.dat clean up. A parent that died
    // before the child could ask leaves it orphaned already: then it ends at once.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        ::signal(SIGPIPE, SIG_DFL);  // an ignored signal would stay ignored across exec
#ifdef Q_OS_LINUX
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(127);
        }
#else
        (void)parent;
#endif
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
