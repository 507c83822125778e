#pragma once

#include <optional>
#include <vector>

#include "core/engine/encoder_runner.h"
#include "core/engine/invocation.h"

namespace orvex::test {

// Runs each invocation's encoder, `parallel` at a time, on the event loop. The end of each in
// the same order; none for an invocation without an encoder path (its preparation failed) or
// one still running when timeoutMs ran out (it is stopped then).
std::vector<std::optional<JobEnd>> runEncoderJobs(const std::vector<intputrec>& jobs, int parallel,
                                                  int timeoutMs = 600000);

}  // namespace orvex::test
