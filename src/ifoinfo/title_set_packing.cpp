#include "ifoinfo/title_set_packing.h"

namespace orvex::ifoinfo {

namespace {

class Packer {
  public:
    void word(uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bytes_.push_back(static_cast<char>(v >> (8 * i)));
        }
    }
    void time(const PlayTime& t) {
        bytes_ += {char(t.hours), char(t.minutes), char(t.seconds), char(t.frames)};
    }
    void text(const std::string& s) {
        word(static_cast<uint32_t>(s.size()));
        bytes_ += s;
    }
    void texts(const std::vector<std::string>& list) {
        word(static_cast<uint32_t>(list.size()));
        for (const auto& s : list) {
            text(s);
        }
    }
    std::string bytes_;
};

class Unpacker {
  public:
    explicit Unpacker(const std::string& bytes) : bytes_(bytes) {}
    bool ok() const { return ok_ && at_ == bytes_.size(); }
    uint32_t word() {
        if (!take(4)) {
            return 0;
        }
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= uint32_t{static_cast<unsigned char>(bytes_[at_ - 4 + static_cast<size_t>(i)])}
                 << (8 * i);
        }
        return v;
    }
    // A count of items that take at least `itemBytes` each, checked against what is left.
    uint32_t count(size_t itemBytes) {
        const uint32_t n = word();
        if (n > (bytes_.size() - at_) / itemBytes) {
            ok_ = false;
            return 0;
        }
        return n;
    }
    PlayTime time() {
        if (!take(4)) {
            return {};
        }
        const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + at_ - 4);
        return {p[0], p[1], p[2], p[3]};
    }
    std::string text() {
        const uint32_t n = count(1);
        return take(n) ? bytes_.substr(at_ - n, n) : std::string();
    }
    std::vector<std::string> texts() {
        std::vector<std::string> list(count(4));
        for (auto& s : list) {
            s = text();
        }
        return list;
    }

    void fail() { ok_ = false; }

  private:
    bool take(size_t n) {
        if (!ok_ || bytes_.size() - at_ < n) {
            ok_ = false;
            return false;
        }
        at_ += n;
        return true;
    }
    const std::string& bytes_;
    size_t at_ = 0;
    bool ok_ = true;
};

}  // namespace

namespace {

void pack(Packer& p, const TitleSetInfo& info) {
    p.text(info.videoDescription);
    p.texts(info.audioDescriptions);
    p.texts(info.subpictureDescriptions);
    p.word(static_cast<uint32_t>(info.chains.size()));
    for (const ChainInfo& chain : info.chains) {
        p.time(chain.time);
        for (const uint32_t colour : chain.palette) {
            p.word(colour);
        }
        p.word(static_cast<uint32_t>(chain.cells.size()));
        for (const CellInfo& cell : chain.cells) {
            p.word(static_cast<uint32_t>(cell.firstSector));
            p.word(static_cast<uint32_t>(cell.lastSector));
            p.time(cell.time);
        }
        p.word(static_cast<uint32_t>(chain.programs.size()));
        for (const ProgramInfo& program : chain.programs) {
            p.word(static_cast<uint32_t>(program.firstCell));
            p.word(static_cast<uint32_t>(program.cellCount));
            p.time(program.time);
        }
    }
}

std::unique_ptr<TitleSetInfo> unpack(Unpacker& u) {
    auto info = std::make_unique<TitleSetInfo>();
    info->videoDescription = u.text();
    info->audioDescriptions = u.texts();
    info->subpictureDescriptions = u.texts();
    info->chains.resize(u.count(76));
    for (ChainInfo& chain : info->chains) {
        chain.time = u.time();
        for (uint32_t& colour : chain.palette) {
            colour = u.word();
        }
        chain.cells.resize(u.count(12));
        for (CellInfo& cell : chain.cells) {
            cell.firstSector = static_cast<int32_t>(u.word());
            cell.lastSector = static_cast<int32_t>(u.word());
            cell.time = u.time();
        }
        chain.programs.resize(u.count(12));
        for (ProgramInfo& program : chain.programs) {
            program.firstCell = static_cast<int32_t>(u.word());
            program.cellCount = static_cast<int32_t>(u.word());
            program.time = u.time();
            // The cells a program names are the chain's own: callers index with them.
            if (program.firstCell < 0 || program.cellCount < 1 ||
                int64_t{program.firstCell} + program.cellCount > int64_t(chain.cells.size())) {
                u.fail();
            }
        }
    }
    return info;
}

}  // namespace

std::string packTitleSetReads(const std::vector<TitleSetRead>& reads) {
    Packer p;
    p.word(static_cast<uint32_t>(reads.size()));
    for (const TitleSetRead& read : reads) {
        p.text(read.ifoPath);
        p.text(read.error);
        p.word(read.info ? 1 : 0);
        if (read.info) {
            pack(p, *read.info);
        }
    }
    return std::move(p.bytes_);
}

std::optional<std::vector<TitleSetRead>> unpackTitleSetReads(const std::string& bytes) {
    Unpacker u(bytes);
    std::vector<TitleSetRead> reads(u.count(12));
    for (TitleSetRead& read : reads) {
        read.ifoPath = u.text();
        read.error = u.text();
        if (u.word() != 0) {
            read.info = unpack(u);
        }
    }
    if (!u.ok()) {
        return std::nullopt;
    }
    return reads;
}

}  // namespace orvex::ifoinfo
