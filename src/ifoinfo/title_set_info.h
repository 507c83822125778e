#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvex::ifoinfo {

// A playing time as plain numbers (the IFO stores BCD).
struct PlayTime {
    uint8_t hours = 0;
    uint8_t minutes = 0;
    uint8_t seconds = 0;
    uint8_t frames = 0;
};

struct CellInfo {
    int32_t firstSector = 0;  // title set VOB sectors, inclusive
    int32_t lastSector = 0;
    PlayTime time;
};

struct ChainInfo {
    PlayTime time;
    std::vector<CellInfo> cells;
};

// Everything the IFO contract hands out for one title set, read at once so that a damaged
// file is met in one place and later calls only copy.
struct TitleSetInfo {
    std::vector<ChainInfo> chains;
    std::string videoDescription;
    std::vector<std::string> audioDescriptions;
    std::vector<std::string> subpictureDescriptions;
};

// Reads the title set of a VTS_nn_0.IFO (or .BUP) file through libdvdread; nullptr when the
// name is not a title set's or libdvdread cannot read it.
std::unique_ptr<TitleSetInfo> readTitleSetInfo(const std::string& ifoPath);

}  // namespace orvex::ifoinfo
