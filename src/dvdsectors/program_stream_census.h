#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>

namespace orvex::dvd {

// What DVD sectors hold, read from their pack and packet headers only: which streams occur,
// whether any packet is scrambled (CSS that was not decrypted), and the span of time covered.
// Each 2048-byte sector of a VOB is one MPEG-2 pack.
class ProgramStreamCensus {
  public:
    // Looks at whole sectors; a trailing partial sector is ignored.
    void add(const unsigned char* data, size_t bytes);

    int64_t sectors() const { return sectors_; }
    // Sectors that begin with an MPEG-2 pack header.
    int64_t packs() const { return packs_; }
    int64_t scrambledPackets() const { return scrambled_; }
    // Stream ids as FFmpeg's "i:" specifier names them: the substream number for private
    // stream 1 (0x80 AC-3, 0x88 DTS, 0xa0 LPCM, 0x20 subpictures) and 0x100 plus the stream id
    // otherwise (0x1e0 video, 0x1c0 MPEG audio, 0x1bf navigation).
    const std::set<int>& streams() const { return streams_; }
    bool has(int id) const { return streams_.count(id) != 0; }
    // Seconds of playing time covered: the clock reference's steps from pack to pack added up,
    // so that a clock that starts again (the next title in the same VOB) or jumps does not
    // count.
    double seconds() const { return static_cast<double>(ticks_) / 90000.0; }
    // Clock reference of the first pack (90 kHz units).
    std::optional<uint64_t> firstScr() const { return firstScr_; }
    // Presentation time of the first video packet that carries one (90 kHz units).
    std::optional<uint64_t> firstVideoPts() const { return firstVideoPts_; }

  private:
    void addSector(const unsigned char* sector);

    int64_t sectors_ = 0;
    int64_t packs_ = 0;
    int64_t scrambled_ = 0;
    std::set<int> streams_;
    std::optional<uint64_t> firstScr_;
    uint64_t lastScr_ = 0;
    uint64_t ticks_ = 0;
    std::optional<uint64_t> firstVideoPts_;
};

}  // namespace orvex::dvd
