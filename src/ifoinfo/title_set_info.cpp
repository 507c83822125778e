#include "ifoinfo/title_set_info.h"

#include <dvdread/ifo_read.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "dvdsectors/dvd_disc.h"
#include "ifoinfo/stream_descriptions.h"
#include "ifoinfo/title_set_packing.h"
#include "numbers/number_reader.h"
#include "platform/isolated_call.h"

namespace orvex::ifoinfo {

namespace {

struct IfoCloser {
    void operator()(ifo_handle_t* ifo) const { ifoClose(ifo); }
};

uint8_t fromBcd(uint8_t v) {
    return static_cast<uint8_t>((v >> 4) * 10 + (v & 0x0f));
}

PlayTime playTime(const dvd_time_t& t) {
    // The frame byte's top two bits give the frame rate, not frames.
    return {fromBcd(t.hour), fromBcd(t.minute), fromBcd(t.second),
            fromBcd(static_cast<uint8_t>(t.frame_u & 0x3f))};
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// "VTS_nn_0.IFO" or ".BUP" in any case gives nn (1 to 99); anything else 0.
int titleSetNumber(std::string_view name) {
    if (name.size() != 12 || !equalsNoCase(name.substr(0, 4), "vts_") ||
        !equalsNoCase(name.substr(6, 3), "_0.") ||
        !(equalsNoCase(name.substr(9), "ifo") || equalsNoCase(name.substr(9), "bup"))) {
        return 0;
    }
    return static_cast<int>(orvex::numbers::digits(name.substr(4, 2), 99).value_or(0));
}

// libdvdread opens a disc at its root, above VIDEO_TS; a folder of IFO files under another
// name is opened as it is (libdvdread looks for the files there too).
std::string discRootOf(const std::string& folder) {
    const size_t slash = folder.find_last_of('/');
    const std::string_view last = slash == std::string::npos
                                      ? std::string_view(folder)
                                      : std::string_view(folder).substr(slash + 1);
    if (!equalsNoCase(last, "video_ts")) {
        return folder;
    }
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : folder.substr(0, slash);
}

// The program-stream number of logical audio stream i: the first chain that says where the
// stream is; without one, its place among the earlier streams of the same coding.
int audioStreamId(const ifo_handle_t& ifo, int i) {
    const audio_attr_t* attrs = ifo.vtsi_mat->vts_audio_attr;
    const int base = audioStreamBase(attrs[i].audio_format);
    if (base == 0) {
        return 0;
    }
    const pgcit_t* pgcit = ifo.vts_pgcit;
    for (int c = 0; pgcit && pgcit->pgci_srp && c < pgcit->nr_of_pgci_srp; ++c) {
        const pgc_t* pgc = pgcit->pgci_srp[c].pgc;
        if (pgc && (pgc->audio_control[i] & 0x8000)) {
            return base + ((pgc->audio_control[i] >> 8) & 7);
        }
    }
    int n = 0;
    for (int j = 0; j < i; ++j) {
        n += audioStreamBase(attrs[j].audio_format) == base ? 1 : 0;
    }
    return base + (n & 7);
}

// Subpictures are numbered per display mode; a 16:9 title shows the wide one.
int subpictureStreamId(const ifo_handle_t& ifo, int i, bool wide) {
    const pgcit_t* pgcit = ifo.vts_pgcit;
    for (int c = 0; pgcit && pgcit->pgci_srp && c < pgcit->nr_of_pgci_srp; ++c) {
        const pgc_t* pgc = pgcit->pgci_srp[c].pgc;
        if (pgc && (pgc->subp_control[i] & 0x80000000u)) {
            return 0x20 + static_cast<int>((pgc->subp_control[i] >> (wide ? 16 : 24)) & 0x1f);
        }
    }
    return 0x20 + i;
}

ChainInfo chainInfo(const pgc_t* pgc) {
    ChainInfo chain;
    if (!pgc) {
        return chain;
    }
    chain.time = playTime(pgc->playback_time);
    if (!pgc->cell_playback) {
        return chain;
    }
    for (int j = 0; j < pgc->nr_of_cells; ++j) {
        const cell_playback_t& cell = pgc->cell_playback[j];
        chain.cells.push_back({static_cast<int32_t>(cell.first_sector),
                               static_cast<int32_t>(cell.last_sector),
                               playTime(cell.playback_time)});
    }
    return chain;
}

std::unique_ptr<TitleSetInfo> readThroughDvdread(const std::string& root, int titleSet) {
    std::string error;
    const auto disc = dvd::DvdDisc::open(root, &error);
    if (!disc) {
        return nullptr;
    }
    const std::unique_ptr<ifo_handle_t, IfoCloser> ifo(ifoOpen(disc->reader(), titleSet));
    if (!ifo || !ifo->vtsi_mat) {
        return nullptr;
    }

    auto info = std::make_unique<TitleSetInfo>();
    const vtsi_mat_t& mat = *ifo->vtsi_mat;
    const video_attr_t& video = mat.vts_video_attr;
    info->videoDescription = videoDescription(video.mpeg_version, video.video_format,
                                              video.display_aspect_ratio, video.picture_size);

    // libdvdread only warns about counts beyond the attribute tables; a damaged file may
    // claim up to 255 streams.
    const int audioCount = std::min<int>(mat.nr_of_vts_audio_streams, 8);
    for (int i = 0; i < audioCount; ++i) {
        const audio_attr_t& a = mat.vts_audio_attr[i];
        info->audioDescriptions.push_back(audioDescription(
            languageName(a.lang_code), a.audio_format, a.channels + 1, audioStreamId(*ifo, i)));
    }
    const bool wide = video.display_aspect_ratio == 3;
    const int subpictureCount = std::min<int>(mat.nr_of_vts_subp_streams, 32);
    for (int i = 0; i < subpictureCount; ++i) {
        info->subpictureDescriptions.push_back(subpictureDescription(
            languageName(mat.vts_subp_attr[i].lang_code), subpictureStreamId(*ifo, i, wide)));
    }

    if (const pgcit_t* pgcit = ifo->vts_pgcit; pgcit && pgcit->pgci_srp) {
        for (int c = 0; c < pgcit->nr_of_pgci_srp; ++c) {
            info->chains.push_back(chainInfo(pgcit->pgci_srp[c].pgc));
        }
    }
    return info;
}

// Parsing a file takes milliseconds; a child still busy after this is stuck on a damaged one.
constexpr int kReadTimeoutMs = 10000;

}  // namespace

std::unique_ptr<TitleSetInfo> readTitleSetInfo(const std::string& ifoPath) {
    const size_t slash = ifoPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? std::string("/")
                                                          : ifoPath.substr(0, slash);
    const std::string name = slash == std::string::npos ? ifoPath : ifoPath.substr(slash + 1);
    const int titleSet = titleSetNumber(name);
    std::error_code error;
    if (titleSet < 1 || !std::filesystem::is_regular_file(ifoPath, error)) {
        return nullptr;
    }
    const std::string root = discRootOf(folder);
    const auto bytes = platform::runIsolated(
        [&]() -> std::optional<std::string> {
            const auto info = readThroughDvdread(root, titleSet);
            return info ? std::optional<std::string>(packTitleSetInfo(*info)) : std::nullopt;
        },
        kReadTimeoutMs);
    return bytes ? unpackTitleSetInfo(*bytes) : nullptr;
}

}  // namespace orvex::ifoinfo
