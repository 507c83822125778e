#include "previewlib/vts_stream.h"

#include <mpv/stream_cb.h>

#include "dvdsectors/dvd_sector_reader.h"

namespace orvex::preview {

namespace {

using dvd::DvdSectorReader;

// These run on the player's own threads and must not call back into its API.
int64_t readFn(void* cookie, char* buffer, uint64_t size) {
    return static_cast<DvdSectorReader*>(cookie)->read(buffer, static_cast<size_t>(size));
}

int64_t seekFn(void* cookie, int64_t offset) {
    auto* reader = static_cast<DvdSectorReader*>(cookie);
    return reader->seek(offset) ? offset : static_cast<int64_t>(MPV_ERROR_GENERIC);
}

int64_t sizeFn(void* cookie) {
    return static_cast<DvdSectorReader*>(cookie)->size();
}

void closeFn(void* cookie) {
    delete static_cast<DvdSectorReader*>(cookie);
}

int openFn(void*, char* uri, mpv_stream_cb_info* info) {
    auto* reader = new DvdSectorReader;
    if (!reader->open(uri)) {
        delete reader;
        return MPV_ERROR_LOADING_FAILED;
    }
    info->cookie = reader;
    info->read_fn = readFn;
    info->seek_fn = seekFn;
    info->size_fn = sizeFn;
    info->close_fn = closeFn;
    return 0;
}

}  // namespace

int addVtsProtocol(mpv_handle* mpv) {
    return mpv_stream_cb_add_ro(mpv, "vts", nullptr, openFn);
}

}  // namespace orvex::preview
