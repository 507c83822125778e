#pragma once

#include <array>
#include <cstdint>

namespace orvex::encoder {

// One 2048-byte MPEG-2 pack holding an empty, fully transparent subpicture of stream
// `subtitleId` (0x20-0x3f) shown at `pts` (90 kHz), with clock reference `scr`.
//
// Sent ahead of a title whose subtitle is to be burnt in: FFmpeg knows only the streams whose
// first packet lies within its probe window, so a subtitle that first shows after a minute, or
// not at all within a chapter, would leave the overlay without an input and fail the job.
// The empty subpicture announces the stream at once and draws nothing.
std::array<unsigned char, 2048> blankSubpicturePack(int subtitleId, uint64_t scr, uint64_t pts);

}  // namespace orvex::encoder
