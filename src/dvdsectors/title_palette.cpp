#include "dvdsectors/title_palette.h"

#include <dvdread/ifo_read.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace orvex::dvd {

namespace {

struct IfoCloser {
    void operator()(ifo_handle_t* ifo) const { ifoClose(ifo); }
};

bool holds(const pgc_t& pgc, uint32_t sector) {
    for (int j = 0; pgc.cell_playback && j < pgc.nr_of_cells; ++j) {
        const cell_playback_t& cell = pgc.cell_playback[j];
        if (cell.first_sector <= sector && sector <= cell.last_sector) {
            return true;
        }
    }
    return false;
}

int channel(double value) {
    return static_cast<int>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

uint32_t rgbOfYCrCb(uint32_t ycrcb) {
    // ITU-R BT.601 with luma 16-235 and colour differences 16-240, as DVDs store it.
    const double y = (static_cast<double>((ycrcb >> 16) & 0xff) - 16) * 255.0 / 219.0;
    const double cr = (static_cast<double>((ycrcb >> 8) & 0xff) - 128) * 255.0 / 224.0;
    const double cb = (static_cast<double>(ycrcb & 0xff) - 128) * 255.0 / 224.0;
    const int r = channel(y + 1.402 * cr);
    const int g = channel(y - 0.344136 * cb - 0.714136 * cr);
    const int b = channel(y + 1.772 * cb);
    return static_cast<uint32_t>(r << 16 | g << 8 | b);
}

std::string paletteOption(const SubtitlePalette& palette) {
    std::string text;
    for (const uint32_t rgb : palette) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%06x", rgb & 0xffffff);
        text += (text.empty() ? "" : ",") + std::string(hex);
    }
    return text;
}

std::optional<SubtitlePalette> subtitlePalette(const DvdDisc& disc, const VtsLocator& locator) {
    const std::unique_ptr<ifo_handle_t, IfoCloser> ifo(ifoOpen(disc.reader(), locator.titleSet));
    if (!ifo || !ifo->vts_pgcit || !ifo->vts_pgcit->pgci_srp) {
        return std::nullopt;
    }
    for (int c = 0; c < ifo->vts_pgcit->nr_of_pgci_srp; ++c) {
        const pgc_t* pgc = ifo->vts_pgcit->pgci_srp[c].pgc;
        if (pgc && holds(*pgc, static_cast<uint32_t>(locator.startSector))) {
            SubtitlePalette palette{};
            // By index: pgc_t is packed, and a reference to its array would bind to a copy.
            for (size_t i = 0; i < palette.size(); ++i) {
                palette[i] = rgbOfYCrCb(pgc->palette[i]);
            }
            return palette;
        }
    }
    return std::nullopt;
}

}  // namespace orvex::dvd
