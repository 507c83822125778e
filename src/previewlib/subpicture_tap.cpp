#include "previewlib/subpicture_tap.h"

#include <algorithm>
#include <utility>

#include "dvdsectors/pack_packets.h"

namespace orvex::preview {

using dvd::kPackBytes;

void SubpictureTap::feed(int64_t offset, const unsigned char* data, size_t bytes) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (offset != next_) {
        // A jump: what was begun before it cannot be finished.
        sector_.clear();
        unitBytes_ = 0;
        const int64_t into = offset % int64_t{kPackBytes};
        const size_t skip = into == 0 ? 0 : size_t(int64_t{kPackBytes} - into);
        if (skip >= bytes) {
            next_ = -1;
            return;
        }
        offset += int64_t(skip);
        data += skip;
        bytes -= skip;
    }
    next_ = offset + int64_t(bytes);
    while (bytes > 0) {
        const size_t take = std::min(bytes, kPackBytes - sector_.size());
        sector_.insert(sector_.end(), data, data + take);
        data += take;
        bytes -= take;
        if (sector_.size() == kPackBytes) {
            addSector(sector_.data());
            sector_.clear();
        }
    }
}

void SubpictureTap::addSector(const unsigned char* sector) {
    dvd::forEachPacket(sector, [this](const dvd::PackPacket& p) {
        scrambled_ += p.scrambled ? 1 : 0;
        if (p.id != 0xbd || p.payloadBytes < 2 || p.payload[0] != streamId_) {
            return;
        }
        const unsigned char* data = p.payload + 1;
        const size_t bytes = p.payloadBytes - 1;
        if (p.pts && bytes >= 2) {
            // A unit begins where the packet carries a time; its first two bytes are its size.
            unit_ = {*p.pts, {}};
            unitBytes_ = size_t{data[0]} << 8 | data[1];
            if (unitBytes_ < 4) {
                unitBytes_ = 0;  // too short to hold even its control offset: damage
                return;
            }
        } else if (unitBytes_ == 0) {
            return;  // the rest of a unit whose start was not read
        }
        unit_.bytes.insert(unit_.bytes.end(), data, data + bytes);
        if (unit_.bytes.size() >= unitBytes_) {
            unit_.bytes.resize(unitBytes_);
            done_.push_back(std::move(unit_));
            unit_ = {};
            unitBytes_ = 0;
        }
    });
}

std::vector<SubpictureUnit> SubpictureTap::take() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(done_, {});
}

int64_t SubpictureTap::scrambledPackets() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return scrambled_;
}

}  // namespace orvex::preview
