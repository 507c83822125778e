#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace orvex::encoder {

// Writes an AMR-NB file ("#!AMR\n" + frames) from 8 kHz mono s16le PCM. The frames go to a
// temporary file beside the target, which commit() renames into place; until then, and on
// every failure, nothing appears under the target's name.
class AmrFileWriter {
  public:
    // mode: 0 (MR475) .. 7 (MR122).
    AmrFileWriter(std::string target, int mode);
    ~AmrFileWriter();  // removes the temporary file unless committed
    AmrFileWriter(const AmrFileWriter&) = delete;
    AmrFileWriter& operator=(const AmrFileWriter&) = delete;

    // Creates the temporary file and the encoder; false with error() set on failure.
    bool open();
    // Feeds PCM bytes (any split); full 160-sample frames are encoded at once.
    bool write(const unsigned char* data, size_t size);
    // Encodes the last partial frame (padded with silence), closes and renames into place.
    bool commit();

    const std::string& error() const { return error_; }
    const std::string& tempPath() const { return tempPath_; }

  private:
    bool encodeFrame(const unsigned char* pcm);
    bool writeAll(const unsigned char* data, size_t size);
    bool fail(const std::string& what);

    static constexpr size_t kFrameBytes = 160 * 2;

    std::string target_;
    std::string tempPath_;
    int mode_;
    std::FILE* file_ = nullptr;
    void* state_ = nullptr;
    unsigned char pending_[kFrameBytes] = {};
    size_t pendingSize_ = 0;
    bool committed_ = false;
    std::string error_;
};

}  // namespace orvex::encoder
