#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "dvdsectors/dvd_disc.h"
#include "dvdsectors/vts_locator.h"

namespace orvex::dvd {

// A program chain's sixteen subpicture colours as RGB (0xRRGGBB). A DVD subtitle only names
// entries of this table; without it a decoder has to guess, and draws a red bar white.
using SubtitlePalette = std::array<uint32_t, 16>;

// The palette of the program chain whose cells hold the locator's start sector, read from the
// title set's IFO; nullopt when the IFO cannot be read or no chain holds the sector.
std::optional<SubtitlePalette> subtitlePalette(const DvdDisc& disc, const VtsLocator& locator);

// An IFO colour (0x00YYCrCb, studio range) as RGB, as FFmpeg converts an IFO's palette.
uint32_t rgbOfYCrCb(uint32_t ycrcb);

// "rrggbb,rrggbb,..." as FFmpeg's DVD subtitle decoder takes its "palette" option.
std::string paletteOption(const SubtitlePalette& palette);

}  // namespace orvex::dvd
