#pragma once

#include <optional>

#include "encoder/command_line.h"

namespace orvex::encoder {

// DVD source locators ("vts://...") name sectors of a title set rather than a file FFmpeg could
// open. Returns register.dat's exit status when the command reads such a locator, nullopt when
// it does not (then FFmpeg handles the inputs itself).
std::optional<int> handleDvdInput(const CommandLine& cmd);

}  // namespace orvex::encoder
