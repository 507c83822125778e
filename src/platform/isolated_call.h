#pragma once

#include <functional>
#include <optional>
#include <string>

// Plain C++ (no Qt): the IFO reader's library uses it.
namespace platform {

// Runs `work` where a crash or a hang of it cannot take the caller down, and returns the bytes
// it produced; nullopt when it produced none (work returned nullopt or threw), crashed, or did
// not finish within `timeoutMs`. libdvdread trusts the counts and offsets in an IFO file and
// can crash on a damaged one: whatever a file holds, the program that reads it must survive.
//
// `work` may run in a child process with its output going nowhere, leaving with _exit, so the
// caller's threads, buffers and exit handlers are not touched; it must not rely on other
// threads, nor change anything the caller needs to see except through its result.
std::optional<std::string> runIsolated(const std::function<std::optional<std::string>()>& work,
                                       int timeoutMs);

// Whether runIsolated() really isolates (a child process); false where it runs `work` in this
// process, which then shares its fate.
bool callsAreIsolated();

}  // namespace platform
