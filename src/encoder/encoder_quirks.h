#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "encoder/command_line.h"

namespace orvex::encoder {

// The arguments with what FFmpeg 5.1 gets wrong for some encoder and container pairs mended:
//
// - AVI keeps no timestamps, one chunk per frame: when the audio encoder starts before 0 (MP3's
//   and AAC's head start), FFmpeg moves every stream on by it, and the AVI muxer fills the gap
//   it makes after the first frame with an empty one, so the picture runs a frame behind the
//   sound. AVI outputs are not moved ("-avoid_negative_ts disabled").
// - libxvid with B-frames packs each B-frame with the next P-frame ("packed bitstream", AVI's
//   way) and FFmpeg stamps every packet with the time of the picture it was handed, so packets
//   come out as 0, 3, 4, 5 ...: AVI then starts its picture two frames late, and a container
//   with presentation times (Matroska, MP4) shows the frames out of order. In AVI, one packet
//   per frame slot, the packets are numbered afresh ("setts=ts=N"), and the last B-frames' worth
//   of pictures, which FFmpeg never draws out of libxvid, are repeated ("tpad") so no picture is
//   lost. Elsewhere libxvid gets no B-frames, which costs less than FFmpeg's mpeg4 would.
// - libx264's pyramid of B-frames in AVI, which keeps no presentation times, delays the picture
//   by two frames behind the sound in players; without the pyramid it is one frame, as for
//   every other B-frame encoder, at no measurable cost.
std::vector<std::string> withContainerFixes(const CommandLine& cmd);

}  // namespace orvex::encoder
