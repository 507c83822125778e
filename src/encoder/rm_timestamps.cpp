#include "encoder/rm_timestamps.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

namespace orvex::encoder {

namespace {

struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, Closer>;

uint32_t be32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
uint16_t be16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}
void putBe32(unsigned char* p, uint32_t v) {
    p[0] = static_cast<unsigned char>(v >> 24);
    p[1] = static_cast<unsigned char>(v >> 16);
    p[2] = static_cast<unsigned char>(v >> 8);
    p[3] = static_cast<unsigned char>(v);
}

bool readAt(std::FILE* f, long offset, unsigned char* buf, size_t size) {
    return std::fseek(f, offset, SEEK_SET) == 0 && std::fread(buf, 1, size, f) == size;
}

bool writeAt(std::FILE* f, long offset, const unsigned char* buf, size_t size) {
    return std::fseek(f, offset, SEEK_SET) == 0 && std::fwrite(buf, 1, size, f) == size;
}

// Where the header chunks keep what is to be changed.
struct Layout {
    long propDuration = -1;   // offset of PROP's duration (ms)
    long audioDuration = -1;  // offset of the audio MDPR's duration (ms)
    int audioStream = -1;
    long dataPackets = -1;  // offset of the first packet
    uint32_t packetCount = 0;
};

// Walks the chunks from ".RMF" to "DATA". Empty text when the layout was found.
std::string readLayout(std::FILE* f, Layout& layout) {
    long at = 0;
    for (int chunk = 0; chunk < 64; ++chunk) {
        unsigned char head[10];
        if (!readAt(f, at, head, sizeof head)) {
            return "the file ends before its packets";
        }
        const std::string id(reinterpret_cast<const char*>(head), 4);
        const uint32_t size = be32(head + 4);
        if (chunk == 0 && id != ".RMF") {
            return "not a RealMedia file";
        }
        if (id == "PROP") {
            layout.propDuration = at + 30;
        } else if (id == "MDPR") {
            // version, stream number, four rates and sizes, start, preroll, duration, name, mime
            std::array<unsigned char, 300> mdpr{};
            const size_t n = std::min<size_t>(size, mdpr.size());
            if (n < 42 || !readAt(f, at, mdpr.data(), n)) {
                return "a stream header is cut short";
            }
            const size_t nameLength = mdpr[40];
            const size_t mimeAt = 41 + nameLength;
            if (mimeAt + 1 > n || mimeAt + 1 + mdpr[mimeAt] > n) {
                return "a stream header is cut short";
            }
            const std::string mime(reinterpret_cast<const char*>(&mdpr[mimeAt + 1]), mdpr[mimeAt]);
            if (mime.rfind("audio/", 0) == 0) {
                layout.audioStream = be16(&mdpr[10]);
                layout.audioDuration = at + 36;
            }
        } else if (id == "DATA") {
            unsigned char data[18];
            if (!readAt(f, at, data, sizeof data)) {
                return "the data header is cut short";
            }
            layout.packetCount = be32(data + 10);
            layout.dataPackets = at + 18;
            break;
        }
        if (size < 10) {
            return "a header chunk has no size";
        }
        at += static_cast<long>(size);
    }
    if (layout.propDuration < 0 || layout.dataPackets < 0) {
        return "no file header or no data";
    }
    if (layout.audioStream < 0) {
        return "no audio stream";
    }
    return {};
}

}  // namespace

int realMediaAudioPacketSamples(std::string_view codec) {
    struct Entry {
        std::string_view codec;
        int samples;
    };
    static constexpr std::array<Entry, 2> kEntries = {{{"aac", 1024}, {"real_144", 160}}};
    for (const Entry& e : kEntries) {
        if (e.codec == codec) {
            return e.samples;
        }
    }
    return 0;
}

bool needsRealMediaRestamp(const CommandLine& cmd) {
    const auto codec = cmd.lastOutputValue({"-acodec", "-c:a", "-codec:a"});
    return cmd.output() && cmd.outputFormat() == "rm" && !cmd.hasOutputFlag("-an") && codec &&
           realMediaAudioPacketSamples(*codec) > 0;
}

bool restampRealMediaAudio(const std::string& path, int samplesPerPacket, int sampleRate,
                           std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    if (samplesPerPacket <= 0 || sampleRate <= 0) {
        return fail("no packet length or sample rate to stamp with");
    }
    const File f(std::fopen(path.c_str(), "r+b"));
    if (!f) {
        return fail("cannot open the file");
    }
    Layout layout;
    if (const std::string why = readLayout(f.get(), layout); !why.empty()) {
        return fail(why);
    }
    // Gather the stamps' places first, so a cut-short file is left as it was.
    std::vector<long> stamps;
    long at = layout.dataPackets;
    for (uint32_t i = 0; i < layout.packetCount; ++i) {
        unsigned char head[12];
        if (!readAt(f.get(), at, head, sizeof head)) {
            return fail("the packets end early");
        }
        const uint16_t length = be16(head + 2);
        if (length < 12) {
            return fail("a packet has no length");
        }
        if (be16(head + 4) == layout.audioStream) {
            stamps.push_back(at + 6);
        }
        at += length;
    }
    auto msOf = [&](uint64_t packets) {
        return static_cast<uint32_t>(packets * samplesPerPacket * 1000 / sampleRate);
    };
    unsigned char value[4];
    for (size_t n = 0; n < stamps.size(); ++n) {
        putBe32(value, msOf(n));
        if (!writeAt(f.get(), stamps[n], value, sizeof value)) {
            return fail("cannot write the file");
        }
    }
    const uint32_t duration = msOf(stamps.size());
    unsigned char old[4];
    if (!readAt(f.get(), layout.propDuration, old, sizeof old)) {
        return fail("cannot read the file header");
    }
    putBe32(value, duration);
    if (!writeAt(f.get(), layout.audioDuration, value, sizeof value) ||
        (be32(old) < duration && !writeAt(f.get(), layout.propDuration, value, sizeof value))) {
        return fail("cannot write the file header");
    }
    return std::fflush(f.get()) == 0 || fail("cannot write the file");
}

}  // namespace orvex::encoder
