#include "encoder/dvd_input.h"

#include <cstdio>

namespace orvex::encoder {

std::optional<int> handleDvdInput(const CommandLine& cmd) {
    for (const auto& input : cmd.inputs()) {
        if (input.rfind("vts://", 0) == 0) {
            // Reading title sectors through libdvdread and piping them to FFmpeg comes here.
            std::fprintf(stderr, "register.dat: DVD locator input is not supported yet: %s\n",
                         input.c_str());
            return 1;
        }
    }
    return std::nullopt;
}

}  // namespace orvex::encoder
