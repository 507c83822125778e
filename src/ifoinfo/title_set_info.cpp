#include "ifoinfo/title_set_info.h"

#include <dvdread/ifo_read.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iterator>
#include <map>
#include <optional>

#include "dvdsectors/disc_files.h"
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

int framesPerSecondOf(const dvd_time_t& t) {
    switch (t.frame_u >> 6) {
        case 1:
            return 25;
        case 3:
            return 30;  // 29.97, counted in thirty frames to the second
        default:
            return 0;
    }
}

ChainInfo chainInfo(const pgc_t* pgc) {
    ChainInfo chain;
    if (!pgc) {
        return chain;
    }
    chain.time = playTime(pgc->playback_time);
    // By index: pgc_t is packed, and a reference to its array (std::begin) would bind to a copy.
    for (size_t i = 0; i < chain.palette.size(); ++i) {
        chain.palette[i] = pgc->palette[i];
    }
    if (!pgc->cell_playback) {
        return chain;
    }
    for (int j = 0; j < pgc->nr_of_cells; ++j) {
        const cell_playback_t& cell = pgc->cell_playback[j];
        chain.cells.push_back({static_cast<int32_t>(cell.first_sector),
                               static_cast<int32_t>(cell.last_sector),
                               playTime(cell.playback_time)});
    }
    std::vector<uint8_t> map;
    if (pgc->program_map) {
        map.assign(pgc->program_map, pgc->program_map + pgc->nr_of_programs);
    }
    chain.programs = programsOf(map, chain.cells, framesPerSecondOf(pgc->playback_time));
    return chain;
}

std::unique_ptr<TitleSetInfo> readTitleSet(dvd_reader_t* dvd, int titleSet) {
    const std::unique_ptr<ifo_handle_t, IfoCloser> ifo(ifoOpen(dvd, titleSet));
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

bool fileOnDisc(dvd_reader_t* dvd, int titleSet, dvd_read_domain_t domain) {
    dvd_stat_t st{};
    return DVDFileStat(dvd, titleSet, domain, &st) == 0;
}

// What one path of a batch asks for.
struct Request {
    std::string ifoPath;
    std::string root;   // the disc libdvdread opens: a folder or an image
    int titleSet = 0;   // 0: every title set of the image
    std::string error;  // the request cannot be made
};

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string(".")
           : slash == 0               ? std::string("/")
                                      : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// IFO, BUP and VOB files are parts of a disc, never a whole one.
bool isDiscFileName(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    const std::string_view extension =
        dot == std::string::npos ? std::string_view() : std::string_view(name).substr(dot + 1);
    return equalsNoCase(extension, "ifo") || equalsNoCase(extension, "bup") ||
           equalsNoCase(extension, "vob");
}

// The longest leading part of `path` that is a regular file: a disc image the rest lies in.
std::string imageAbove(const std::string& path) {
    for (std::string part = parentOf(path); part.size() > 1; part = parentOf(part)) {
        std::error_code error;
        const std::filesystem::file_status status = std::filesystem::status(part, error);
        if (!error) {
            return std::filesystem::is_regular_file(status) ? part : std::string();
        }
    }
    return {};
}

// Disc folders listed once per batch, by root.
using DiscFolders = std::map<std::string, dvd::DiscFolder>;

Request requestFor(const std::string& path, DiscFolders& folders) {
    Request r;
    r.ifoPath = path;
    const int titleSet = titleSetNumber(nameOf(path));
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error) {
        if (const std::string image = imageAbove(path); !image.empty() && titleSet > 0) {
            r.root = image;
            r.titleSet = titleSet;
            r.error = dvd::discRootProblem(image);
        } else {
            r.error = error.message();
        }
        return r;
    }
    if (titleSet < 1 && std::filesystem::is_regular_file(status) && !isDiscFileName(nameOf(path))) {
        r.root = path;
        r.error = dvd::discRootProblem(path);
        return r;
    }
    if (titleSet < 1) {
        r.error = "it is neither a title set's IFO file (VTS_nn_0.IFO) nor a DVD image";
        return r;
    }
    r.root = discRootOf(parentOf(path));
    r.titleSet = titleSet;
    const dvd::DiscFolder& files = folders.try_emplace(r.root, r.root).first->second;
    // libdvdread opens the file of that name it finds first, and its backup when the file is
    // damaged: both must be files that can be read without waiting for good.
    for (const char* extension : {"IFO", "BUP"}) {
        const std::string name = dvd::titleSetFileName(titleSet, 0, extension);
        const std::string file = files.find(name);
        if (file.empty()) {
            continue;
        }
        if (const std::string why = dvd::regularFileProblem(file); !why.empty()) {
            r.error = file == path ? why : name + " cannot be read: " + why;
            return r;
        }
    }
    return r;
}

std::string unreadableText(dvd_reader_t* dvd, int titleSet) {
    const std::string backup = dvd::titleSetFileName(titleSet, 0, "BUP");
    return fileOnDisc(dvd, titleSet, DVD_READ_INFO_BACKUP_FILE)
               ? "it is damaged, and so is its backup " + backup
               : "it is damaged and has no backup " + backup;
}

std::string ifoPathInImage(const std::string& image, int titleSet) {
    return image + "/VIDEO_TS/" + dvd::titleSetFileName(titleSet, 0, "IFO");
}

// Reads what the requests ask for; each disc is opened once, in the order first named.
std::vector<TitleSetRead> readRequests(const std::vector<Request>& requests) {
    std::vector<TitleSetRead> reads;
    std::map<std::string, std::unique_ptr<dvd::DvdDisc>> discs;
    std::map<std::string, std::string> discErrors;
    for (const Request& r : requests) {
        if (!r.error.empty()) {
            reads.push_back({r.ifoPath, nullptr, r.error});
            continue;
        }
        if (!discs.count(r.root)) {
            std::string error;
            discs[r.root] = dvd::DvdDisc::open(r.root, &error);
            discErrors[r.root] = error;
        }
        const dvd::DvdDisc* disc = discs[r.root].get();
        if (!disc) {
            reads.push_back({r.ifoPath, nullptr, discErrors[r.root]});
            continue;
        }
        std::vector<int> sets{r.titleSet};
        if (r.titleSet == 0) {
            sets.clear();
            for (int n = 1; n <= 99; ++n) {
                if (fileOnDisc(disc->reader(), n, DVD_READ_INFO_FILE) ||
                    fileOnDisc(disc->reader(), n, DVD_READ_INFO_BACKUP_FILE)) {
                    sets.push_back(n);
                }
            }
            if (sets.empty()) {
                reads.push_back({r.ifoPath, nullptr, "it holds no DVD title set"});
            }
        }
        for (const int n : sets) {
            TitleSetRead read{r.titleSet == 0 ? ifoPathInImage(r.root, n) : r.ifoPath,
                              readTitleSet(disc->reader(), n),
                              {}};
            if (!read.info) {
                read.error = unreadableText(disc->reader(), n);
            }
            reads.push_back(std::move(read));
        }
    }
    return reads;
}

// Reading a file takes milliseconds; a child still busy after this is stuck on a damaged one.
constexpr int kReadTimeoutMs = 10000;
constexpr int kReadTimeoutPerFileMs = 500;

std::optional<std::vector<TitleSetRead>> readInChild(const std::vector<Request>& requests) {
    const auto bytes = platform::runIsolated(
        [&]() -> std::optional<std::string> { return packTitleSetReads(readRequests(requests)); },
        kReadTimeoutMs + kReadTimeoutPerFileMs * static_cast<int>(requests.size()));
    if (!bytes) {
        return std::nullopt;
    }
    return unpackTitleSetReads(*bytes);
}

}  // namespace

std::vector<ProgramInfo> programsOf(const std::vector<uint8_t>& map,
                                    const std::vector<CellInfo>& cells, int framesPerSecond) {
    const auto cellCount = static_cast<int32_t>(cells.size());
    bool valid = !map.empty() && map.front() == 1;
    for (size_t p = 0; valid && p < map.size(); ++p) {
        valid = map[p] <= cellCount && (p == 0 || map[p] > map[p - 1]);
    }
    std::vector<ProgramInfo> programs;
    for (int32_t p = 0, count = valid ? static_cast<int32_t>(map.size()) : cellCount; p < count;
         ++p) {
        ProgramInfo program;
        program.firstCell = valid ? map[static_cast<size_t>(p)] - 1 : p;
        const int32_t end = !valid          ? p + 1
                            : p + 1 < count ? map[static_cast<size_t>(p) + 1] - 1
                                            : cellCount;
        program.cellCount = end - program.firstCell;
        int64_t seconds = 0;
        int64_t frames = 0;
        for (int32_t j = program.firstCell; j < end; ++j) {
            const PlayTime& t = cells[static_cast<size_t>(j)].time;
            seconds += t.hours * 3600 + t.minutes * 60 + t.seconds;
            frames += framesPerSecond > 0 ? t.frames : 0;
        }
        if (framesPerSecond > 0) {
            seconds += frames / framesPerSecond;
            frames %= framesPerSecond;
        }
        program.time = {static_cast<uint8_t>(std::min<int64_t>(seconds / 3600, 255)),
                        static_cast<uint8_t>(seconds / 60 % 60), static_cast<uint8_t>(seconds % 60),
                        static_cast<uint8_t>(frames)};
        programs.push_back(program);
    }
    return programs;
}

namespace {

std::vector<Request> requestsFor(const std::vector<std::string>& paths) {
    std::vector<Request> requests;
    DiscFolders folders;
    for (const std::string& path : paths) {
        requests.push_back(requestFor(path, folders));
    }
    return requests;
}

}  // namespace

std::vector<TitleSetRead> readTitleSetsUnisolated(const std::vector<std::string>& paths) {
    return readRequests(requestsFor(paths));
}

std::vector<TitleSetRead> readTitleSets(const std::vector<std::string>& paths) {
    const std::vector<Request> requests = requestsFor(paths);
    const bool anyToRead = std::any_of(requests.begin(), requests.end(),
                                       [](const Request& r) { return r.error.empty(); });
    if (!anyToRead) {
        return readRequests(requests);  // nothing for libdvdread: no child needed
    }
    if (auto reads = readInChild(requests)) {
        return std::move(*reads);
    }
    // The child died or hung on some damaged file: each request on its own, so that the others
    // still come through.
    std::vector<TitleSetRead> reads;
    for (const Request& r : requests) {
        if (!r.error.empty()) {
            reads.push_back({r.ifoPath, nullptr, r.error});
            continue;
        }
        if (auto one = readInChild({r})) {
            std::move(one->begin(), one->end(), std::back_inserter(reads));
        } else {
            reads.push_back({r.ifoPath, nullptr, "it is damaged: reading it failed"});
        }
    }
    return reads;
}

}  // namespace orvex::ifoinfo
