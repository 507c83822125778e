#include "encoder/blank_subpicture_pack.h"

#include <algorithm>
#include <vector>

namespace orvex::encoder {

namespace {

// Subpicture unit of a 2x2 area in colour 0 with contrast 0 (invisible): size, offset of the
// control sequence, one run-length byte per field (two pixels of colour 0), then the control
// sequence: colours, contrast, area, field offsets, start display, end.
constexpr std::array<unsigned char, 30> kEmptySubpicture = {
    0x00, 0x1e, 0x00, 0x06,                    // unit size 30, control at 6
    0x80, 0x80,                                // top and bottom field: 2 pixels, colour 0
    0x00, 0x00, 0x00, 0x06,                    // delay 0, next control = this one (last)
    0x03, 0x00, 0x00,                          // colours
    0x04, 0x00, 0x00,                          // contrast: all transparent
    0x05, 0x00, 0x00, 0x01, 0x00, 0x00, 0x01,  // area x 0-1, y 0-1
    0x06, 0x00, 0x04, 0x00, 0x05,              // field data at 4 and 5
    0x01,                                      // start display
    0xff,                                      // end of commands
};

constexpr unsigned kMuxRate = 25200;  // 10.08 Mbit/s in units of 50 bytes/s, the DVD maximum

void put(std::vector<unsigned char>& out, std::initializer_list<unsigned> bytes) {
    for (unsigned b : bytes) {
        out.push_back(static_cast<unsigned char>(b & 0xff));
    }
}

}  // namespace

std::array<unsigned char, 2048> blankSubpicturePack(int subtitleId, uint64_t scr, uint64_t pts) {
    std::vector<unsigned char> p;
    p.reserve(2048);
    // Pack header: start code, SCR (33-bit base, extension 0), mux rate, no stuffing.
    put(p, {0x00, 0x00, 0x01, 0xba});
    put(p,
        {static_cast<unsigned>(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03)),
         static_cast<unsigned>(scr >> 20),
         static_cast<unsigned>(((scr >> 12) & 0xf8) | 0x04 | ((scr >> 13) & 0x03)),
         static_cast<unsigned>(scr >> 5), static_cast<unsigned>(((scr << 3) & 0xf8) | 0x04), 0x01});
    put(p, {kMuxRate >> 14, kMuxRate >> 6, ((kMuxRate << 2) & 0xfc) | 0x03, 0xf8});

    // Private stream 1 packet: MPEG-2 header with a PTS, substream id, subpicture unit.
    const unsigned length = 3 + 5 + 1 + static_cast<unsigned>(kEmptySubpicture.size());
    put(p, {0x00, 0x00, 0x01, 0xbd, length >> 8, length, 0x81, 0x80, 0x05});
    put(p, {static_cast<unsigned>(0x21 | ((pts >> 29) & 0x0e)), static_cast<unsigned>(pts >> 22),
            static_cast<unsigned>(((pts >> 14) & 0xfe) | 0x01), static_cast<unsigned>(pts >> 7),
            static_cast<unsigned>(((pts << 1) & 0xfe) | 0x01)});
    put(p, {static_cast<unsigned>(subtitleId)});
    p.insert(p.end(), kEmptySubpicture.begin(), kEmptySubpicture.end());

    // Padding packet up to the sector's end.
    const unsigned padding = 2048 - static_cast<unsigned>(p.size()) - 6;
    put(p, {0x00, 0x00, 0x01, 0xbe, padding >> 8, padding});
    p.resize(2048, 0xff);

    std::array<unsigned char, 2048> pack{};
    std::copy(p.begin(), p.end(), pack.begin());
    return pack;
}

}  // namespace orvex::encoder
