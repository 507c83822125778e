#include "dvdsectors/dvd_sector_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dvdsectors/disc_files.h"

namespace orvex::dvd {

namespace {

// One megabyte per libdvdread call keeps the per-call cost out of the throughput.
constexpr int64_t kBatchSectors = 512;
// Reads straight into the caller's buffer are split into calls of this size.
constexpr int64_t kMaxDirectSectors = 4096;

std::string twoDigits(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

}  // namespace

DvdSectorReader::DvdSectorReader() = default;

DvdSectorReader::~DvdSectorReader() {
    close();
}

void DvdSectorReader::close() {
    if (file_) {
        DVDCloseFile(file_);
        file_ = nullptr;
    }
    disc_.reset();
    size_ = 0;
    position_ = 0;
    batchCount_ = 0;
}

std::string DvdSectorReader::where() const {
    return "title set " + twoDigits(locator_.titleSet) + " of '" + locator_.discRoot + "'";
}

bool DvdSectorReader::open(std::string_view locatorText) {
    close();
    std::string why;
    const auto locator = parseVtsLocator(locatorText, &why);
    if (!locator) {
        error_ = "bad DVD locator '" + std::string(locatorText) + "': " + why;
        return false;
    }
    return open(*locator);
}

bool DvdSectorReader::open(const VtsLocator& locator) {
    close();
    error_.clear();
    locator_ = locator;
    disc_ = DvdDisc::open(locator.discRoot, &error_);
    if (!disc_) {
        return false;
    }
    // libdvdread gives no reason when a VOB cannot be opened, and waits for good on a FIFO.
    if (const std::string why = titleVobsProblem(locator.discRoot, locator.titleSet);
        !why.empty()) {
        error_ = why + " (" + where() + ")";
        close();
        return false;
    }
    file_ = DVDOpenFile(disc_->reader(), locator.titleSet, DVD_READ_TITLE_VOBS);
    if (!file_) {
        error_ = "no title VOBs for " + where();
        close();
        return false;
    }
    const ssize_t sectors = DVDFileSize(file_);
    if (sectors <= 0 || locator.endSector >= sectors) {
        error_ = "sectors " + std::to_string(locator.startSector) + " to " +
                 std::to_string(locator.endSector) + " lie beyond the " +
                 std::to_string(std::max<ssize_t>(sectors, 0)) + " sectors of " + where();
        close();
        return false;
    }
    size_ = (int64_t{locator.endSector} - locator.startSector + 1) * kSectorBytes;
    batch_.resize(static_cast<size_t>(kBatchSectors * kSectorBytes));
    return true;
}

bool DvdSectorReader::seek(int64_t offset) {
    if (!file_ || offset < 0 || offset > size_) {
        return false;
    }
    position_ = offset;
    return true;
}

bool DvdSectorReader::readSectors(int64_t first, int64_t count, unsigned char* out) {
    const int64_t sector = locator_.startSector + first;
    const ssize_t got =
        DVDReadBlocks(file_, static_cast<int>(sector), static_cast<size_t>(count), out);
    if (got == count) {
        return true;
    }
    // A short read stopped at a bad sector; report the first one that failed.
    const int64_t bad = sector + std::max<ssize_t>(got, 0);
    error_ = "read error at sector " + std::to_string(bad) + " of " + where();
    if (!disc_->lastMessage().empty()) {
        error_ += ": " + disc_->lastMessage();
    }
    return false;
}

int64_t DvdSectorReader::read(void* buffer, size_t n) {
    if (!file_) {
        error_ = "no DVD range is open";
        return -1;
    }
    auto* out = static_cast<unsigned char*>(buffer);
    const int64_t wanted = std::min<int64_t>(static_cast<int64_t>(n), size_ - position_);
    int64_t copied = 0;
    while (copied < wanted) {
        const int64_t sector = position_ / kSectorBytes;
        const int64_t within = position_ % kSectorBytes;
        const int64_t left = wanted - copied;
        if (sector >= batchFirst_ && sector < batchFirst_ + batchCount_) {
            const int64_t offset = (sector - batchFirst_) * kSectorBytes + within;
            const int64_t take = std::min(left, batchCount_ * kSectorBytes - offset);
            std::memcpy(out + copied, batch_.data() + offset, static_cast<size_t>(take));
            copied += take;
            position_ += take;
            continue;
        }
        const int64_t sectorsLeft = size_ / kSectorBytes - sector;
        if (within == 0 && left >= kBatchSectors * kSectorBytes) {
            // Large aligned reads skip the copy through the batch.
            const int64_t count = std::min({left / kSectorBytes, kMaxDirectSectors, sectorsLeft});
            if (!readSectors(sector, count, out + copied)) {
                return copied > 0 ? copied : -1;
            }
            copied += count * kSectorBytes;
            position_ += count * kSectorBytes;
            continue;
        }
        const int64_t count = std::min(kBatchSectors, sectorsLeft);
        batchCount_ = 0;
        if (!readSectors(sector, count, batch_.data())) {
            return copied > 0 ? copied : -1;
        }
        batchFirst_ = sector;
        batchCount_ = count;
    }
    return copied;
}

}  // namespace orvex::dvd
