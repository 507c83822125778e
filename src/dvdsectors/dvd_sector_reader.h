#pragma once

#include <dvdread/dvd_reader.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dvdsectors/dvd_disc.h"
#include "dvdsectors/title_palette.h"
#include "dvdsectors/vts_locator.h"

namespace orvex::dvd {

// The bytes of a locator's sector range, read through libdvdread from the title set's VOBs
// (2048-byte sectors, start and end inclusive), as one seekable stream: what register.dat pipes
// to FFmpeg and what a player's stream protocol reads. No global state and no printing; each
// failure leaves a one-line reason in error().
class DvdSectorReader {
  public:
    static constexpr int64_t kSectorBytes = DVD_VIDEO_LB_LEN;

    DvdSectorReader();
    ~DvdSectorReader();
    DvdSectorReader(const DvdSectorReader&) = delete;
    DvdSectorReader& operator=(const DvdSectorReader&) = delete;

    // Opens the disc and the title set's VOBs and checks that the range lies within them.
    // false with error() set otherwise. Opening again closes what was open first.
    bool open(std::string_view locatorText);
    bool open(const VtsLocator& locator);
    void close();
    bool isOpen() const { return file_ != nullptr; }

    const VtsLocator& locator() const { return locator_; }
    // Bytes in the range; 0 when closed.
    int64_t size() const { return size_; }
    int64_t position() const { return position_; }
    // Moves to a byte offset from 0 to size(); false, position unchanged, outside that.
    bool seek(int64_t offset);
    // Copies up to n bytes from the position: the count, 0 at the end, -1 on a read error.
    int64_t read(void* buffer, size_t n);

    const std::string& error() const { return error_; }
    // The subpicture colours of the chain that plays the range; nullopt when closed or unknown.
    std::optional<SubtitlePalette> subtitlePalette() const {
        return disc_ ? dvd::subtitlePalette(*disc_, locator_) : std::nullopt;
    }
    // libdvdread cannot decrypt this disc (libdvdcss is missing); scrambled sectors mean CSS.
    bool decryptionUnavailable() const { return disc_ && disc_->decryptionUnavailable(); }

  private:
    // Reads `count` sectors from range sector `first` into `out`; false with error_ set.
    bool readSectors(int64_t first, int64_t count, unsigned char* out);
    std::string where() const;  // "title set 01 of /media/dvd" for messages

    std::unique_ptr<DvdDisc> disc_;
    dvd_file_t* file_ = nullptr;
    VtsLocator locator_;
    int64_t size_ = 0;
    int64_t position_ = 0;
    // Sectors are read in batches: one libdvdread call per megabyte, not per sector.
    std::vector<unsigned char> batch_;
    int64_t batchFirst_ = 0;  // range sector held at batch_[0]
    int64_t batchCount_ = 0;
    std::string error_;
};

}  // namespace orvex::dvd
