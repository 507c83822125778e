#pragma once

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

}  // namespace platform::posix
