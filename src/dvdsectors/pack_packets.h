#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace orvex::dvd {

// A DVD sector is one MPEG-2 pack of 2048 bytes: a pack header, then packets. What a packet
// of it carries, as forEachPacket hands it over.
struct PackPacket {
    unsigned char id = 0;  // stream id: 0xbd private stream 1, 0xc0-0xdf MPEG audio, 0xe0 video
    bool hasPesHeader = false;    // private stream 1, audio and video carry one
    bool scrambled = false;       // CSS scrambling control set (not decrypted)
    std::optional<uint64_t> pts;  // presentation time, 90 kHz
    // The bytes after the PES header that lie in the sector; a private stream 1 payload begins
    // with its substream number (0x80 AC-3, 0x20 subpicture ...).
    const unsigned char* payload = nullptr;
    size_t payloadBytes = 0;
};

inline constexpr size_t kPackBytes = 2048;

// The pack's system clock reference (90 kHz); nullopt when the sector is no MPEG-2 pack.
std::optional<uint64_t> packScr(const unsigned char* sector);

// Calls `visit` for each packet of the sector's pack in order, up to stuffing, the end code or
// damage; nothing when the sector is no MPEG-2 pack.
void forEachPacket(const unsigned char* sector,
                   const std::function<void(const PackPacket&)>& visit);

}  // namespace orvex::dvd
