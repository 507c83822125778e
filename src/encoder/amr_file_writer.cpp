#include "encoder/amr_file_writer.h"

#include <fcntl.h>
#include <opencore-amrnb/interf_enc.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace orvex::encoder {

AmrFileWriter::AmrFileWriter(std::string target, int mode)
    : target_(std::move(target)), mode_(mode) {}

AmrFileWriter::~AmrFileWriter() {
    if (state_) {
        Encoder_Interface_exit(state_);
    }
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!committed_ && !tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
    }
}

bool AmrFileWriter::fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    return false;
}

bool AmrFileWriter::open() {
    // Beside the target, so the final rename stays on one file system. Locked for as long as
    // this program lives: the next run into the folder removes it only once its writer is
    // gone, however it went. A cleanup that got to the new file before the lock did has
    // removed it (the name no longer leads to it): another name then.
    const std::string pattern = target_ + ".part-XXXXXX";
    for (int attempt = 0; attempt < 10 && fd_ < 0; ++attempt) {
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        const int fd = ::mkostemp(buf.data(), O_CLOEXEC);
        if (fd < 0) {
            return fail("cannot create a temporary file beside " + target_);
        }
        struct stat held {};
        struct stat named {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
            ::stat(buf.data(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            fd_ = fd;
            tempPath_ = buf.data();
        } else {
            ::close(fd);
        }
    }
    if (fd_ < 0) {
        errno = EEXIST;
        return fail("cannot claim a temporary file beside " + target_);
    }
    // mkstemp makes the file private; give it the permissions a plain new file would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    state_ = Encoder_Interface_init(0);
    if (!state_) {
        errno = ENOMEM;
        return fail("cannot set up the AMR-NB encoder");
    }
    static const unsigned char kMagic[] = {'#', '!', 'A', 'M', 'R', '\n'};
    return writeAll(kMagic, sizeof kMagic);
}

bool AmrFileWriter::writeAll(const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail("cannot write " + tempPath_);
        }
        data += n;
        size -= static_cast<size_t>(n);
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
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        return fail("cannot write " + tempPath_);
    }
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        return fail("cannot rename " + tempPath_ + " to " + target_);
    }
    committed_ = true;
    return true;
}

}  // namespace orvex::encoder
