#pragma once

#include <QIODevice>

class QProcess;

namespace platform {

// Starts the process (set up beforehand); every child of the front ends starts here (encoders,
// probes), so none can miss what follows. It runs in a process group of its own, so that a
// terminal's Ctrl-C reaches this process, which stops the child, instead of reaching the child
// behind its back, and so that signalGroup() reaches everything the child starts. Where the
// system allows, the child is killed when this process dies, however it dies, as the children
// the platform forks itself are (the isolated IFO reader, register.dat's FFmpeg).
void startChild(QProcess& process, QIODevice::OpenMode mode);

// Whether a child started by startChild() ends when this process is killed.
bool childrenEndWithParent();

enum class GroupSignal {
    Terminate,  // asks them to end; they may clean up first
    Kill,       // ends them at once
};

// Sends the signal to the child's group: the child and what it started.
void signalGroup(QProcess& process, GroupSignal signal);

}  // namespace platform
