#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace orvex::preview {

// A subpicture (DVD subtitle) unit as it lies in the stream: its presentation time and its
// bytes, which begin with their own length.
struct SubpictureUnit {
    uint64_t pts = 0;  // 90 kHz
    std::vector<unsigned char> bytes;
};

// The units of one subpicture stream, gathered from a program stream's bytes as the player
// reads them, so that the preview can draw them itself. Reads may come in any size; a read that
// does not follow the last one (a seek) starts afresh. Units are handed over between threads:
// fed on the player's, taken on the caller's.
class SubpictureTap {
  public:
    explicit SubpictureTap(int streamId) : streamId_(streamId) {}

    // The bytes read at byte `offset` of the stream, which starts with a whole sector.
    void feed(int64_t offset, const unsigned char* data, size_t bytes);
    // The units completed since the last call.
    std::vector<SubpictureUnit> take();
    // Packets read whose scrambling (CSS) was not undone.
    int64_t scrambledPackets() const;

  private:
    void addSector(const unsigned char* sector);

    const int streamId_;
    mutable std::mutex mutex_;
    std::vector<unsigned char> sector_;  // the part of a sector read so far
    int64_t next_ = -1;                  // stream offset the next read continues at
    SubpictureUnit unit_;                // the unit being gathered
    size_t unitBytes_ = 0;               // its length, 0 while none is begun
    std::vector<SubpictureUnit> done_;
    int64_t scrambled_ = 0;
};

}  // namespace orvex::preview
