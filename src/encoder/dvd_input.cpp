#include "encoder/dvd_input.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "dvdsectors/disc_files.h"
#include "dvdsectors/dvd_sector_reader.h"
#include "dvdsectors/program_stream_census.h"
#include "encoder/blank_subpicture_pack.h"
#include "encoder/dvd_ffmpeg_args.h"
#include "encoder/ffmpeg_child.h"

namespace orvex::encoder {

namespace {

using dvd::DvdSectorReader;
using dvd::ProgramStreamCensus;

// Sectors go to FFmpeg in batches of this size.
constexpr size_t kChunkBytes = size_t{1} << 20;
// What is looked at before FFmpeg starts: enough to see every audio track begin, and well
// inside FFmpeg's own probe window (40 MB, 40 s), so what is seen here FFmpeg finds too.
constexpr size_t kSurveyBytes = size_t{4} << 20;
constexpr double kSurveySeconds = 5.0;

// Bytes read but not yet passed on. Not zeroed first: every byte used has been read.
struct Buffer {
    explicit Buffer(size_t capacity)
        : data(std::make_unique_for_overwrite<unsigned char[]>(capacity)), capacity(capacity) {}
    std::unique_ptr<unsigned char[]> data;
    size_t capacity = 0;
    size_t size = 0;
};

int cannotRead(const std::string& why) {
    std::fprintf(stderr, "register.dat: cannot read the DVD: %s\n", why.c_str());
    return 1;
}

std::string whereOf(const DvdSectorReader& reader) {
    const auto& loc = reader.locator();
    char set[16];
    std::snprintf(set, sizeof set, "%02d", loc.titleSet);
    return "sectors " + std::to_string(loc.startSector) + " to " + std::to_string(loc.endSector) +
           " of title set " + set + " of '" + loc.discRoot + "'";
}

std::string scrambledText(const DvdSectorReader& reader) {
    return whereOf(reader) + ": " + dvd::scrambledText(reader.decryptionUnavailable());
}

// Reads the start of the range into `head` while taking its census. Empty text when fine.
std::string survey(DvdSectorReader& reader, Buffer& head, ProgramStreamCensus& census) {
    while (head.size < head.capacity && census.seconds() < kSurveySeconds) {
        const int64_t n = reader.read(head.data.get() + head.size,
                                      std::min(kChunkBytes, head.capacity - head.size));
        if (n < 0) {
            return reader.error();
        }
        if (n == 0) {
            break;
        }
        census.add(head.data.get() + head.size, static_cast<size_t>(n));
        head.size += static_cast<size_t>(n);
    }
    if (census.packs() == 0 || census.packs() < census.sectors() / 2) {
        return whereOf(reader) + " hold no MPEG-2 program stream";
    }
    if (census.scrambledPackets() > 0) {
        return scrambledText(reader);
    }
    return {};
}

// The locator's streams, with an audio track that the title does not have replaced by its first.
DvdStreamChoice chooseStreams(const dvd::VtsLocator& locator, const ProgramStreamCensus& census) {
    DvdStreamChoice choice{locator.audioId, locator.subtitleId, {}};
    if (choice.audioId != 0 && !census.has(ffmpegStreamNumber(choice.audioId))) {
        std::fprintf(stderr,
                     "register.dat: audio stream %s is not in the title; taking the first "
                     "audio stream\n",
                     locator.audioStream.c_str());
        choice.audioId = 0;
    }
    return choice;
}

// Writes what the survey read and then the rest of the range to FFmpeg, until the range ends,
// FFmpeg stops reading, or a stop is passed on to it. Returns why reading failed; empty if
// it did not.
std::string feed(FfmpegChild& child, DvdSectorReader& reader, ProgramStreamCensus& census,
                 const Buffer& head, const DvdStreamChoice& choice) {
    if (choice.subtitleId != 0) {
        const uint64_t scr = census.firstScr().value_or(0);
        const auto pack =
            blankSubpicturePack(choice.subtitleId, scr, census.firstVideoPts().value_or(scr));
        if (!child.write(pack.data(), pack.size())) {
            return {};
        }
    }
    if (!child.write(head.data.get(), head.size)) {
        return {};
    }
    Buffer chunk(kChunkBytes);
    while (FfmpegChild::forwardedSignal() == 0) {
        const int64_t n = reader.read(chunk.data.get(), chunk.capacity);
        if (n <= 0) {
            return n < 0 ? reader.error() : std::string();
        }
        const int64_t scrambledBefore = census.scrambledPackets();
        census.add(chunk.data.get(), static_cast<size_t>(n));
        if (census.scrambledPackets() != scrambledBefore) {
            return scrambledText(reader);
        }
        if (!child.write(chunk.data.get(), static_cast<size_t>(n))) {
            return {};  // FFmpeg has ended; its status tells why
        }
    }
    return {};
}

}  // namespace

std::optional<int> handleDvdInput(const CommandLine& cmd, const FfmpegLauncher& launcher) {
    std::optional<size_t> input;
    for (size_t i = 0; i < cmd.inputs().size(); ++i) {
        if (!dvd::isVtsLocator(cmd.inputs()[i])) {
            continue;
        }
        if (input) {
            return cannotRead("only one DVD locator can be read per command");
        }
        input = i;
    }
    if (!input) {
        return std::nullopt;
    }

    DvdSectorReader reader;
    if (!reader.open(cmd.inputs()[*input])) {
        return cannotRead(reader.error());
    }
    Buffer head(kSurveyBytes);
    ProgramStreamCensus census;
    if (const std::string why = survey(reader, head, census); !why.empty()) {
        return cannotRead(why);
    }
    DvdStreamChoice choice = chooseStreams(reader.locator(), census);
    if (choice.subtitleId != 0) {
        if (const auto palette = reader.subtitlePalette()) {
            choice.palette = dvd::paletteOption(*palette);
        }
    }

    FfmpegChild child;
    if (!child.start(launcher, dvdFfmpegArgs(cmd, *input, choice), FfmpegChild::Pipe::ToStdin)) {
        std::fprintf(stderr, "register.dat: %s\n", child.error().c_str());
        return 1;
    }
    const std::string readFailure = feed(child, reader, census, head, choice);
    // The end of its input lets FFmpeg finish the file, after a stop too.
    child.closePipe();
    const int status = child.wait();
    if (!readFailure.empty()) {
        return cannotRead(readFailure);
    }
    if (const int sig = FfmpegChild::forwardedSignal(); sig != 0 && status == 0) {
        return 128 + sig;
    }
    return status;
}

}  // namespace orvex::encoder
