// profiles.pop is a file beside the program that anyone may have damaged.
#include <sys/mman.h>
#include <unistd.h>

#include <QString>

#include "core/profiles/profile_file.h"
#include "fuzz_input.h"

namespace {

// An in-memory file with a path, so the reader runs as it does on a real file.
const QString& memoryFile(int* fd) {
    static int descriptor = ::memfd_create("profiles.pop", 0);
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(descriptor);
    *fd = descriptor;
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orvex::fuzz::Input input(data, size);
    (void)profileFileDamage(input.rest.toByteArray());
    int fd = -1;
    const QString& path = memoryFile(&fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, input.rest.data(), static_cast<size_t>(input.rest.size()), 0) !=
            input.rest.size()) {
        return 0;
    }
    const int number = input.control % 133;  // 0 and 132 are outside the catalog
    if (const auto record = readProfileRecord(path, number)) {
        (void)videoRatesOfRateLine(record->rateLine.value_or(QString()));
        (void)splitProfileList(record->codecOptions.value_or(QString()));
    }
    return 0;
}
