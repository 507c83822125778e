#include "dvdsectors/program_stream_census.h"

#include "dvdsectors/pack_packets.h"

namespace orvex::dvd {

void ProgramStreamCensus::add(const unsigned char* data, size_t bytes) {
    for (size_t at = 0; at + kPackBytes <= bytes; at += kPackBytes) {
        addSector(data + at);
    }
}

void ProgramStreamCensus::addSector(const unsigned char* s) {
    // Packs follow each other by milliseconds; a longer step is a discontinuity.
    constexpr uint64_t kMaxStep = 90000;
    ++sectors_;
    const std::optional<uint64_t> scr = packScr(s);
    if (!scr) {
        return;
    }
    ++packs_;
    if (!firstScr_) {
        firstScr_ = *scr;
    } else if (*scr > lastScr_ && *scr - lastScr_ < kMaxStep) {
        ticks_ += *scr - lastScr_;
    }
    lastScr_ = *scr;

    forEachPacket(s, [this](const PackPacket& p) {
        if (p.id == 0xbb || p.id == 0xbe) {
            return;  // system header, padding
        }
        if (!p.hasPesHeader) {
            streams_.insert(0x100 | p.id);
            return;
        }
        scrambled_ += p.scrambled ? 1 : 0;
        if (p.id != 0xbd) {
            streams_.insert(0x100 | p.id);
        } else if (p.payload) {
            streams_.insert(p.payload[0]);
        }
        if (p.id >= 0xe0 && !firstVideoPts_ && p.pts) {
            firstVideoPts_ = p.pts;
        }
    });
}

}  // namespace orvex::dvd
