#pragma once

#include <array>
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

// A program of a chain: what a player calls a chapter. Its cells are [firstCell, firstCell +
// cellCount), its time theirs added up.
struct ProgramInfo {
    int32_t firstCell = 0;
    int32_t cellCount = 0;
    PlayTime time;
};

struct ChainInfo {
    PlayTime time;
    std::vector<CellInfo> cells;
    std::vector<ProgramInfo> programs;
    // The subpicture colours: 0x00YYCrCb each, as the IFO holds them.
    std::array<uint32_t, 16> palette{};
};

// Everything the IFO contract hands out for one title set, read at once so that a damaged
// file is met in one place and later calls only copy.
struct TitleSetInfo {
    std::vector<ChainInfo> chains;
    std::string videoDescription;
    std::vector<std::string> audioDescriptions;
    std::vector<std::string> subpictureDescriptions;
};

// One title set of a batch: read, or why not.
struct TitleSetRead {
    std::string ifoPath;
    std::unique_ptr<TitleSetInfo> info;  // nullptr when it could not be read
    std::string error;                   // why, when it could not
};

// Reads title sets through libdvdread, all of them in one short-lived child process (a damaged
// file that crashes libdvdread only ends that child; it is then reported for every title set
// the child had not finished). `paths` are VTS_nn_0.IFO files (or their .BUP), in a disc folder
// or inside a disc image ("/x/disc.iso/VIDEO_TS/VTS_01_0.IFO"), and disc image files, which
// stand for every title set they hold. Each disc is opened once; the results keep the order of
// `paths`.
std::vector<TitleSetRead> readTitleSets(const std::vector<std::string>& paths);

// What readTitleSets does in its child process, done in this one: for the fuzz target, which
// must see a fault where it happens. A damaged file can take this process down.
std::vector<TitleSetRead> readTitleSetsUnisolated(const std::vector<std::string>& paths);

// The program chains' programs from the IFO's program map: program p starts at entry cell
// map[p] (counted from 1) and runs to the next program's entry. A map that is missing or out
// of order gives one program per cell. framesPerSecond (25 or 30; 0 when the IFO does not say)
// carries frames over into seconds.
std::vector<ProgramInfo> programsOf(const std::vector<uint8_t>& map,
                                    const std::vector<CellInfo>& cells, int framesPerSecond);

}  // namespace orvex::ifoinfo
