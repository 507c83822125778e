#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvex::dvd {

// A DVD source locator as the core writes it:
//   "vts://" set "*" startSector "*" endSector "*" audioStream "*" subtitleStream "*/" discRoot
// e.g. vts://01*0*123456*0x80*0*//media/dvd names sectors 0 to 123456 (inclusive) of the title
// VOBs of VTS_01 on the disc folder /media/dvd. The root is the rest of the text after "*/",
// taken whole, so it may hold any character.
struct VtsLocator {
    int titleSet = 0;            // 1 to 99
    int32_t startSector = 0;     // in the title set's VOB sector space
    int32_t endSector = 0;       // inclusive
    std::string audioStream;     // as written: "0" or a program-stream id such as "0x81"
    std::string subtitleStream;  // "0" or "0x20" ...
    // The same as numbers: 0 for "0"; audio 0x80-0x8f (AC-3, DTS), 0xa0-0xa7 (LPCM) or
    // 0xc0-0xc7 (MPEG audio); subtitle 0x20-0x3f.
    int audioId = 0;
    int subtitleId = 0;
    std::string discRoot;
};

inline constexpr std::string_view kVtsScheme = "vts://";

bool isVtsLocator(std::string_view text);

// The locator, or nullopt with *error saying what is wrong with the text.
std::optional<VtsLocator> parseVtsLocator(std::string_view text, std::string* error);

}  // namespace orvex::dvd
