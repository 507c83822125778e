#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "encoder/command_line.h"

namespace orvex::encoder {

// The streams register.dat hands on from a DVD title.
struct DvdStreamChoice {
    int audioId = 0;     // program-stream id of the audio track; 0: the first audio stream
    int subtitleId = 0;  // subpicture stream burnt into the picture (0x20-0x3f); 0: none
    // The title's subpicture colours for the subtitle decoder ("rrggbb,..."); empty: unknown.
    std::string palette;
};

// How FFmpeg's "i:" stream specifier names a program-stream id: AC-3, DTS, LPCM and subpictures
// by their substream number (0x81), MPEG audio by 0x100 plus its stream id (0xc1 -> 0x1c1).
int ffmpegStreamNumber(int programStreamId);

// The FFmpeg arguments for a command whose input number `input` is a DVD locator: that input
// becomes a program stream on standard input ("-f mpeg -probesize 40M -analyzeduration 40M -i
// pipe:0"), the chosen streams are mapped in front of the output options, and a subtitle is
// burnt in, in the title's own colours (the decoder's palette), with an overlay whose output the
// caller's video filters (-vf, moved into the overlay's graph), -s, -aspect and codec options
// apply to. -vn and -an among the output options drop the picture or the sound. Everything else
// is kept as given.
std::vector<std::string> dvdFfmpegArgs(const CommandLine& cmd, size_t input,
                                       const DvdStreamChoice& choice);

}  // namespace orvex::encoder
