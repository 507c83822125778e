#include "encoder/amr_file_writer.h"

#include <opencore-amrnb/interf_enc.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/unique_file.h"

namespace orvex::encoder {

AmrFileWriter::AmrFileWriter(std::string target, int mode)
    : target_(std::move(target)), mode_(mode) {}

AmrFileWriter::~AmrFileWriter() {
    if (state_) {
        Encoder_Interface_exit(state_);
    }
    if (file_ != nullptr) {
        std::fclose(file_);
    }
    if (!committed_ && !tempPath_.empty()) {
        std::remove(tempPath_.c_str());
    }
}

bool AmrFileWriter::fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    return false;
}

bool AmrFileWriter::open() {
    // Beside the target, so the final rename stays on one file system. Claimed for as long as
    // this program lives: the next run into the folder removes it only once its writer is
    // gone, however it went.
    file_ = platform::createUniqueFile(target_ + ".part-", "", &tempPath_, true);
    if (file_ == nullptr) {
        return fail("cannot create a temporary file beside " + target_);
    }
    state_ = Encoder_Interface_init(0);
    if (!state_) {
        errno = ENOMEM;
        return fail("cannot set up the AMR-NB encoder");
    }
    static const unsigned char kMagic[] = {'#', '!', 'A', 'M', 'R', '\n'};
    return writeAll(kMagic, sizeof kMagic);
}

bool AmrFileWriter::writeAll(const unsigned char* data, size_t size) {
    if (std::fwrite(data, 1, size, file_) != size) {
        return fail("cannot write " + tempPath_);
    }
    return true;
}

bool AmrFileWriter::encodeFrame(const unsigned char* pcm) {
    short speech[160];
    for (size_t i = 0; i < 160; ++i) {
        // Little-endian bytes, whatever this machine's order.
        speech[i] = static_cast<short>(static_cast<uint16_t>(pcm[2 * i]) |
                                       static_cast<uint16_t>(pcm[2 * i + 1]) << 8);
    }
    unsigned char out[64];  // the largest frame (12.2 kbit/s) is 32 bytes
    const int n = Encoder_Interface_Encode(state_, static_cast<Mode>(mode_), speech, out, 0);
    if (n <= 0) {
        errno = EINVAL;
        return fail("the AMR-NB encoder rejected a frame");
    }
    return writeAll(out, static_cast<size_t>(n));
}

bool AmrFileWriter::write(const unsigned char* data, size_t size) {
    while (size > 0) {
        const size_t take = std::min(size, kFrameBytes - pendingSize_);
        std::memcpy(pending_ + pendingSize_, data, take);
        pendingSize_ += take;
        data += take;
        size -= take;
        if (pendingSize_ == kFrameBytes) {
            pendingSize_ = 0;
            if (!encodeFrame(pending_)) {
                return false;
            }
        }
    }
    return true;
}

bool AmrFileWriter::commit() {
    if (pendingSize_ > 0) {
        std::memset(pending_ + pendingSize_, 0, kFrameBytes - pendingSize_);
        pendingSize_ = 0;
        if (!encodeFrame(pending_)) {
            return false;
        }
    }
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) {
        return fail("cannot write " + tempPath_);
    }
    if (std::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return fail("cannot rename " + tempPath_ + " to " + target_);
    }
    committed_ = true;
    return true;
}

}  // namespace orvex::encoder
