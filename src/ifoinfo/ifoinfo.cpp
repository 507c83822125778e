#include "ifoinfo/ifoinfo.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "ifoinfo/title_set_info.h"

struct IfoInfo {
    orvex::ifoinfo::TitleSetInfo info;
};

struct IfoBatch {
    std::vector<orvex::ifoinfo::TitleSetRead> reads;
};

namespace {

using orvex::ifoinfo::ChainInfo;
using orvex::ifoinfo::PlayTime;
using orvex::ifoinfo::ProgramInfo;
using orvex::ifoinfo::TitleSetRead;

const TitleSetRead* readAt(const IfoBatch* b, int32_t i) {
    if (!b || i < 0 || static_cast<size_t>(i) >= b->reads.size()) {
        return nullptr;
    }
    return &b->reads[static_cast<size_t>(i)];
}

const ChainInfo* chainAt(const IfoInfo* h, int32_t chain) {
    if (!h || chain < 0 || static_cast<size_t>(chain) >= h->info.chains.size()) {
        return nullptr;
    }
    return &h->info.chains[static_cast<size_t>(chain)];
}

const char* textAt(const std::vector<std::string>* texts, int32_t i) {
    if (!texts || i < 0 || static_cast<size_t>(i) >= texts->size()) {
        return "";
    }
    return (*texts)[static_cast<size_t>(i)].c_str();
}

void putInt32(unsigned char* out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    out[0] = static_cast<unsigned char>(v);
    out[1] = static_cast<unsigned char>(v >> 8);
    out[2] = static_cast<unsigned char>(v >> 16);
    out[3] = static_cast<unsigned char>(v >> 24);
}

void putTime(unsigned char* out, const PlayTime& t) {
    out[0] = t.hours;
    out[1] = t.minutes;
    out[2] = t.seconds;
    out[3] = t.frames;
}

}  // namespace

extern "C" {

IfoInfo* ifoOpen(const char* path, int32_t flags) {
    if (!path) {
        return nullptr;
    }
    IfoBatch* batch = ifoOpenBatch(&path, 1, flags);
    // An image stands for all its title sets, not for one.
    IfoInfo* h = ifoBatchCount(batch) == 1 ? ifoBatchTake(batch, 0) : nullptr;
    ifoBatchClose(batch);
    return h;
}

IfoBatch* ifoOpenBatch(const char* const* paths, int32_t count, int32_t flags) {
    if (count < 0 || (count > 0 && !paths) || flags != 0) {
        return nullptr;
    }
    try {
        std::vector<std::string> list;
        for (int32_t i = 0; i < count; ++i) {
            list.emplace_back(paths[i] ? paths[i] : "");
        }
        return new IfoBatch{orvex::ifoinfo::readTitleSets(list)};
    } catch (...) {
        // Out of memory on a damaged file's claims must not cross the C boundary.
        return nullptr;
    }
}

int32_t ifoBatchCount(const IfoBatch* b) {
    return b ? static_cast<int32_t>(b->reads.size()) : 0;
}

const char* ifoBatchPath(const IfoBatch* b, int32_t i) {
    const TitleSetRead* r = readAt(b, i);
    return r ? r->ifoPath.c_str() : "";
}

const char* ifoBatchError(const IfoBatch* b, int32_t i) {
    const TitleSetRead* r = readAt(b, i);
    return r ? r->error.c_str() : "";
}

IfoInfo* ifoBatchTake(IfoBatch* b, int32_t i) {
    const TitleSetRead* r = readAt(b, i);
    if (!r || !r->info) {
        return nullptr;
    }
    auto& info = b->reads[static_cast<size_t>(i)].info;
    auto* h = new (std::nothrow) IfoInfo{std::move(*info)};
    info.reset();
    return h;
}

void ifoBatchClose(IfoBatch* b) {
    delete b;
}

int32_t ifoGetNumPGCI(const IfoInfo* h) {
    return h ? static_cast<int32_t>(h->info.chains.size()) : 0;
}

int32_t ifoGetPGCIInfo(const IfoInfo* h, int32_t chain, unsigned char time[4]) {
    const ChainInfo* c = chainAt(h, chain);
    if (time) {
        putTime(time, c ? c->time : PlayTime{});
    }
    return c ? static_cast<int32_t>(c->cells.size()) : 0;
}

int32_t ifoGetPGCICells(const IfoInfo* h, int32_t chain, unsigned char* cells) {
    const ChainInfo* c = chainAt(h, chain);
    if (!c || !cells) {
        return 0;
    }
    for (size_t j = 0; j < c->cells.size(); ++j) {
        unsigned char* record = cells + j * IFOINFO_CELL_RECORD_SIZE;
        std::memset(record, 0, IFOINFO_CELL_RECORD_SIZE);
        putInt32(record, c->cells[j].firstSector);
        putInt32(record + 4, c->cells[j].lastSector);
        putTime(record + 13, c->cells[j].time);
    }
    return static_cast<int32_t>(c->cells.size());
}

int32_t ifoGetPGCIPrograms(const IfoInfo* h, int32_t chain, unsigned char* programs) {
    const ChainInfo* c = chainAt(h, chain);
    if (!c) {
        return 0;
    }
    for (size_t p = 0; programs && p < c->programs.size(); ++p) {
        const ProgramInfo& program = c->programs[p];
        unsigned char* record = programs + p * IFOINFO_PROGRAM_RECORD_SIZE;
        putInt32(record, program.firstCell);
        putInt32(record + 4, program.cellCount);
        putTime(record + 8, program.time);
    }
    return static_cast<int32_t>(c->programs.size());
}

int32_t ifoGetPGCIPalette(const IfoInfo* h, int32_t chain, uint32_t palette[16]) {
    const ChainInfo* c = chainAt(h, chain);
    if (!c || !palette) {
        return 0;
    }
    std::copy(c->palette.begin(), c->palette.end(), palette);
    return static_cast<int32_t>(c->palette.size());
}

const char* ifoGetVideoDesc(const IfoInfo* h) {
    return h ? h->info.videoDescription.c_str() : "";
}

int32_t ifoGetNumAudio(const IfoInfo* h) {
    return h ? static_cast<int32_t>(h->info.audioDescriptions.size()) : 0;
}

const char* ifoGetAudioDesc(const IfoInfo* h, int32_t stream) {
    return textAt(h ? &h->info.audioDescriptions : nullptr, stream);
}

int32_t ifoGetNumSubPic(const IfoInfo* h) {
    return h ? static_cast<int32_t>(h->info.subpictureDescriptions.size()) : 0;
}

const char* ifoGetSubPicDesc(const IfoInfo* h, int32_t stream) {
    return textAt(h ? &h->info.subpictureDescriptions : nullptr, stream);
}

void ifoClose(IfoInfo* h) {
    delete h;
}

}  // extern "C"
