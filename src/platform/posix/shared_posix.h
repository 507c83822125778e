#pragma once

#include <sys/types.h>

#include <cstddef>

// Shared by the POSIX implementations; not part of the platform's interface.
namespace platform::posix {

// A pipe whose ends are closed on exec (and, when asked, never block); false when none could
// be made, with errno set.
bool openPipe(int fds[2], bool nonBlocking);

// Writes all of size bytes, going on after interrupted writes; false when a write failed.
bool writeAll(int fd, const void* data, std::size_t size);

// Lets handler hear the requests to stop (SIGINT, SIGTERM, SIGHUP), restarting the calls
// they interrupt, and makes a broken pipe a failed write instead of the end of the process.
void handleStopRequests(void (*handler)(int));

// Run first in every child this program makes, between fork and whatever the child runs
// (async-signal-safe): the stop requests and a broken pipe get their default effect (an
// ignored signal would stay ignored across exec, a handler of ours would act in the wrong
// process), and the child is killed when `parent` dies, however it dies. false when `parent`
// is gone already: the child must leave at once.
bool prepareChild(pid_t parent);

}  // namespace platform::posix
