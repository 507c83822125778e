#include "dvdsectors/program_stream_census.h"

namespace orvex::dvd {

namespace {

constexpr size_t kSectorBytes = 2048;
constexpr size_t kPackHeaderBytes = 14;
// Packs follow each other by milliseconds; a longer step is a discontinuity.
constexpr uint64_t kMaxStep = 90000;

bool startCode(const unsigned char* p, unsigned char id) {
    return p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == id;
}

// System clock reference base of an MPEG-2 pack header (90 kHz).
uint64_t packScr(const unsigned char* p) {
    return (uint64_t{(p[4] >> 3) & 7u} << 30) | (uint64_t{p[4] & 3u} << 28) |
           (uint64_t{p[5]} << 20) | (uint64_t{(p[6] >> 3) & 0x1fu} << 15) |
           (uint64_t{p[6] & 3u} << 13) | (uint64_t{p[7]} << 5) | ((p[8] >> 3) & 0x1fu);
}

uint64_t timestamp(const unsigned char* p) {
    return (uint64_t{(p[0] >> 1) & 7u} << 30) | (uint64_t{p[1]} << 22) |
           ((uint64_t{p[2]} >> 1) << 15) | (uint64_t{p[3]} << 7) | (p[4] >> 1);
}

}  // namespace

void ProgramStreamCensus::add(const unsigned char* data, size_t bytes) {
    for (size_t at = 0; at + kSectorBytes <= bytes; at += kSectorBytes) {
        addSector(data + at);
    }
}

void ProgramStreamCensus::addSector(const unsigned char* s) {
    ++sectors_;
    // MPEG-2 packs only ('01' after the start code); DVD sectors never carry MPEG-1 packs.
    if (!startCode(s, 0xba) || (s[4] & 0xc0) != 0x40) {
        return;
    }
    ++packs_;
    const uint64_t scr = packScr(s);
    if (!firstScr_) {
        firstScr_ = scr;
    } else if (scr > lastScr_ && scr - lastScr_ < kMaxStep) {
        ticks_ += scr - lastScr_;
    }
    lastScr_ = scr;

    size_t at = kPackHeaderBytes + (s[13] & 7u);
    while (at + 6 <= kSectorBytes) {
        const unsigned char* p = s + at;
        if (p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] < 0xbb) {
            return;  // stuffing, the end code or damage: nothing more to learn here
        }
        const unsigned char id = p[3];
        const size_t length = (size_t{p[4]} << 8) | p[5];
        const size_t end = at + 6 + length;
        const bool hasPesHeader = id == 0xbd || (id >= 0xc0 && id <= 0xef);
        if (id == 0xbb || id == 0xbe) {
            // system header, padding
        } else if (!hasPesHeader) {
            streams_.insert(0x100 | id);
        } else if (at + 9 <= kSectorBytes && (p[6] & 0xc0) == 0x80) {
            if ((p[6] & 0x30) != 0) {
                ++scrambled_;
            }
            const size_t headerEnd = at + 9 + p[8];
            if (id == 0xbd) {
                if (headerEnd < kSectorBytes && headerEnd < end) {
                    streams_.insert(s[headerEnd]);
                }
            } else {
                streams_.insert(0x100 | id);
            }
            if (id >= 0xe0 && !firstVideoPts_ && (p[7] & 0x80) && at + 14 <= kSectorBytes) {
                firstVideoPts_ = timestamp(p + 9);
            }
        }
        at = end;
    }
}

}  // namespace orvex::dvd
