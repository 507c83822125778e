#include "previewlib/vts_stream.h"

#include <mpv/stream_cb.h>

#include "dvdsectors/dvd_sector_reader.h"

namespace orvex::preview {

namespace {

using dvd::DvdSectorReader;

struct Stream {
    DvdSectorReader reader;
    std::shared_ptr<SubpictureTap> tap;
};

// These run on the player's own threads and must not call back into its API.
int64_t readFn(void* cookie, char* buffer, uint64_t size) {
    auto* stream = static_cast<Stream*>(cookie);
    const int64_t at = stream->reader.position();
    const int64_t n = stream->reader.read(buffer, static_cast<size_t>(size));
    if (n > 0 && stream->tap) {
        stream->tap->feed(at, reinterpret_cast<const unsigned char*>(buffer), size_t(n));
        if (stream->tap->scrambledPackets() > 0) {
            return -1;
        }
    }
    return n;
}

int64_t seekFn(void* cookie, int64_t offset) {
    auto* stream = static_cast<Stream*>(cookie);
    return stream->reader.seek(offset) ? offset : static_cast<int64_t>(MPV_ERROR_GENERIC);
}

int64_t sizeFn(void* cookie) {
    return static_cast<Stream*>(cookie)->reader.size();
}

void closeFn(void* cookie) {
    delete static_cast<Stream*>(cookie);
}

int openFn(void* tap, char* uri, mpv_stream_cb_info* info) {
    auto* stream = new Stream;
    if (!stream->reader.open(uri)) {
        delete stream;
        return MPV_ERROR_LOADING_FAILED;
    }
    if (tap != nullptr) {
        stream->tap = *static_cast<const std::shared_ptr<SubpictureTap>*>(tap);
    }
    info->cookie = stream;
    info->read_fn = readFn;
    info->seek_fn = seekFn;
    info->size_fn = sizeFn;
    info->close_fn = closeFn;
    return 0;
}

}  // namespace

int addVtsProtocol(mpv_handle* mpv, const std::shared_ptr<SubpictureTap>* tap) {
    return mpv_stream_cb_add_ro(mpv, "vts", const_cast<std::shared_ptr<SubpictureTap>*>(tap),
                                openFn);
}

}  // namespace orvex::preview
