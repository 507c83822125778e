#include <cstring>

#include "platform/process_info.h"

namespace platform {

QString signalName(int signalNumber) {
    const char* name = ::strsignal(signalNumber);
    return name != nullptr ? QString::fromLocal8Bit(name) : QString::number(signalNumber);
}

}  // namespace platform
