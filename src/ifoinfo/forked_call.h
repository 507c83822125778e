#pragma once

#include <functional>
#include <optional>
#include <string>

namespace orvex::ifoinfo {

// Runs `work` in a forked child process and returns the bytes it produced; nullopt when it
// produced none (work returned nullopt), crashed, or did not finish within `timeoutMs` (it is
// killed then). libdvdread trusts the counts and offsets in an IFO file and can crash on a
// damaged one: whatever a file holds, the program that reads it must survive.
//
// The child only runs `work`, with its output going nowhere, and leaves with _exit, so the
// caller's threads, buffers and exit handlers are not touched; `work` must not rely on other
// threads.
std::optional<std::string> runInChild(const std::function<std::optional<std::string>()>& work,
                                      int timeoutMs);

}  // namespace orvex::ifoinfo
