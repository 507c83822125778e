// A title set's IFO file comes from a disc or a folder anyone may have damaged. libdvdread itself
// crashes on some (a double free in ifoOpen, a wild read in ifoRead_PGCIT), which is why the
// program reads in a child process: that reading must hand over a title set or a reason, never
// take the caller down, and the hand-over must come back whole. The libFuzzer build also reads
// in this process, so that a fault in our own walk over what libdvdread gives shows where it
// happens; it meets libdvdread's faults too and runs with -fork and -ignore_crashes
// (scripts/fuzz), and what it finds is ours only where the stack says so. The corpus, which
// keeps inputs that crash libdvdread, is replayed through the child alone.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "fuzz_input.h"
#include "ifoinfo/title_set_info.h"
#include "ifoinfo/title_set_packing.h"

namespace {

// A disc folder of this process's own, removed at exit.
const QString& videoTs() {
    static const QTemporaryDir root;
    static const QString folder = root.filePath(QStringLiteral("VIDEO_TS"));
    if (!QDir().mkpath(folder)) {
        std::abort();
    }
    return folder;
}

void write(const QString& path, QByteArrayView bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes.toByteArray()) != bytes.size()) {
        std::abort();
    }
}

}  // namespace

// libdvdread asks for absurd sizes from damaged counts and takes a null answer as a damaged
// file, as the C library gives it; the sanitizer would end the run there instead.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orvex::ifoinfo;
    const orvex::fuzz::Input input(data, size);
    const QString ifo = videoTs() + QStringLiteral("/VTS_01_0.IFO");
    const QString bup = videoTs() + QStringLiteral("/VTS_01_0.BUP");
    write(ifo, input.rest);
    // With a backup, a damaged file is read from it: the same bytes, or half of them.
    if (input.control & 1) {
        write(bup, input.control & 2 ? input.rest : input.rest.first(input.rest.size() / 2));
    } else {
        QFile::remove(bup);
    }
    const std::vector<TitleSetRead> isolated = readTitleSets({ifo.toStdString()});
    if (isolated.size() != 1 || (!isolated[0].info && isolated[0].error.empty())) {
        std::abort();  // one title set, read or with its reason
    }
#ifdef ORVEX_FUZZ_BUILD
    const std::vector<TitleSetRead> reads = readTitleSetsUnisolated({ifo.toStdString()});
#else
    const std::vector<TitleSetRead>& reads = isolated;
#endif
    const std::string packed = packTitleSetReads(reads);
    const auto back = unpackTitleSetReads(packed);
    if (!back || back->size() != reads.size()) {
        std::abort();  // what the child hands over must come back whole
    }
    // A child that dies while writing leaves a packet cut short; a stray one is any bytes.
    (void)unpackTitleSetReads(packed.substr(0, packed.size() * input.control / 256));
    (void)unpackTitleSetReads(input.rest.toByteArray().toStdString());
    return 0;
}
