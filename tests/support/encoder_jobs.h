#pragma once

#include <optional>
#include <vector>

#include "core/engine/encoder_runner.h"

namespace orvex::test {

// Runs the invocations' encoders, `parallel` at a time, on the event loop: the end of each, in
// order; none for one without an encoder path or still running after timeoutMs.
std::vector<std::optional<JobEnd>> runEncoderJobs(const std::vector<intputrec>& jobs, int parallel,
                                                  int timeoutMs = 600000);

}  // namespace orvex::test
