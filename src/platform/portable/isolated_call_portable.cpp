#include "platform/isolated_call.h"

namespace platform {

// Without a way to run a function in a child process, the function runs here: an exception
// still ends as "nothing produced", a crash takes the caller with it and the time limit is not
// enforced. A port gives this a child process of its own (Windows: a helper process).
bool callsAreIsolated() {
    return false;
}

std::optional<std::string> runIsolated(const std::function<std::optional<std::string>()>& work,
                                       int /*timeoutMs*/) {
    try {
        return work();
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace platform
