#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>

namespace orvex::fuzz {

// The fuzzer's bytes, taken apart: a leading control byte (when there is one) and the rest.
struct Input {
    Input(const uint8_t* data, size_t size)
        : control(size > 0 ? data[0] : 0),
          rest(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0),
               static_cast<qsizetype>(size > 0 ? size - 1 : 0)) {}

    // The rest in pieces of 1, 8, 16 ... 504 bytes, as a pipe may hand them over. (Every size
    // from 1 up would spend the time on rescanning long unbroken lines byte by byte, which the
    // reader's 1 KB chunks never do.)
    template <typename Fn>
    void forEachChunk(Fn fn) const {
        const qsizetype step = std::max<qsizetype>(1, qsizetype{control % 64} * 8);
        for (qsizetype at = 0; at < rest.size(); at += step) {
            fn(rest.sliced(at, std::min(step, rest.size() - at)));
        }
    }

    // The rest split at NUL bytes, as a program's argument vector.
    std::vector<std::string> arguments() const {
        std::vector<std::string> args;
        std::string current;
        for (const char c : rest) {
            if (c == '\0') {
                args.push_back(current);
                current.clear();
            } else {
                current += c;
            }
        }
        args.push_back(current);
        return args;
    }

    uint8_t control;
    QByteArrayView rest;
};

}  // namespace orvex::fuzz
