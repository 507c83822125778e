#pragma once

#include <QString>

namespace platform {

// The name of a signal that ended a process, in words ("Killed", "Terminated"); the number
// alone when the system knows no name for it.
QString signalName(int signalNumber);

}  // namespace platform
