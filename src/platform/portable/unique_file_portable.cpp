#include <cerrno>
#include <random>

#include "platform/unique_file.h"

namespace platform {

// The exclusive mode of fopen ("x") refuses a name that exists, as an exclusive create does.
// The standard library has no lock that ends with its process: the file is never claimed.
std::FILE* createUniqueFile(const std::string& prefix, const std::string& suffix, std::string* path,
                            bool /*claimed*/) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i) {
            name += kLetters[pick(random)];
        }
        name += suffix;
        errno = 0;
        if (std::FILE* file = std::fopen(name.c_str(), "wbx")) {
            *path = name;
            return file;
        }
        if (errno != EEXIST) {
            return nullptr;  // the folder refuses, not the name
        }
    }
    errno = EEXIST;
    return nullptr;
}

}  // namespace platform
