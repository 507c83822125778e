#include "dvdsectors/pack_packets.h"

#include <algorithm>

namespace orvex::dvd {

namespace {

constexpr size_t kPackHeaderBytes = 14;

bool startCode(const unsigned char* p, unsigned char id) {
    return p[0] == 0 && p[1] == 0 && p[2] == 1 && p[3] == id;
}

uint64_t timestamp(const unsigned char* p) {
    return (uint64_t{(p[0] >> 1) & 7u} << 30) | (uint64_t{p[1]} << 22) |
           ((uint64_t{p[2]} >> 1) << 15) | (uint64_t{p[3]} << 7) | (p[4] >> 1);
}

}  // namespace

std::optional<uint64_t> packScr(const unsigned char* p) {
    // MPEG-2 packs only ('01' after the start code); DVD sectors never carry MPEG-1 packs.
    if (!startCode(p, 0xba) || (p[4] & 0xc0) != 0x40) {
        return std::nullopt;
    }
    return (uint64_t{(p[4] >> 3) & 7u} << 30) | (uint64_t{p[4] & 3u} << 28) |
           (uint64_t{p[5]} << 20) | (uint64_t{(p[6] >> 3) & 0x1fu} << 15) |
           (uint64_t{p[6] & 3u} << 13) | (uint64_t{p[7]} << 5) | ((p[8] >> 3) & 0x1fu);
}

void forEachPacket(const unsigned char* s, const std::function<void(const PackPacket&)>& visit) {
    if (!packScr(s)) {
        return;
    }
    size_t at = kPackHeaderBytes + (s[13] & 7u);
    while (at + 6 <= kPackBytes) {
        const unsigned char* p = s + at;
        if (p[0] != 0 || p[1] != 0 || p[2] != 1 || p[3] < 0xbb) {
            return;  // stuffing, the end code or damage
        }
        PackPacket packet;
        packet.id = p[3];
        const size_t end = at + 6 + ((size_t{p[4]} << 8) | p[5]);
        const bool pes = packet.id == 0xbd || (packet.id >= 0xc0 && packet.id <= 0xef);
        if (pes && at + 9 <= kPackBytes && (p[6] & 0xc0) == 0x80) {
            packet.hasPesHeader = true;
            packet.scrambled = (p[6] & 0x30) != 0;
            if ((p[7] & 0x80) && at + 14 <= kPackBytes) {
                packet.pts = timestamp(p + 9);
            }
            const size_t payload = at + 9 + p[8];
            if (payload < kPackBytes && payload < end) {
                packet.payload = s + payload;
                packet.payloadBytes = std::min(end, kPackBytes) - payload;
            }
        }
        if (!pes || packet.hasPesHeader) {
            visit(packet);
        }
        at = end;
    }
}

}  // namespace orvex::dvd
