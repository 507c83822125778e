#include <csignal>

#include "platform/process_info.h"

namespace platform {

// Only the signals the C standard names; any other is given by its number.
QString signalName(int signalNumber) {
    switch (signalNumber) {
        case SIGABRT:
            return QStringLiteral("Aborted");
        case SIGFPE:
            return QStringLiteral("Floating point exception");
        case SIGILL:
            return QStringLiteral("Illegal instruction");
        case SIGINT:
            return QStringLiteral("Interrupt");
        case SIGSEGV:
            return QStringLiteral("Segmentation fault");
        case SIGTERM:
            return QStringLiteral("Terminated");
        default:
            return QString::number(signalNumber);
    }
}

}  // namespace platform
