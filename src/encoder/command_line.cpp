#include "encoder/command_line.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace orvex::encoder {

namespace {

// FFmpeg options that take no value. Everything else that starts with '-' takes one.
constexpr std::array<std::string_view, 34> kFlags = {"-y",
                                                     "-n",
                                                     "-nostdin",
                                                     "-stdin",
                                                     "-hide_banner",
                                                     "-vn",
                                                     "-an",
                                                     "-sn",
                                                     "-dn",
                                                     "-shortest",
                                                     "-copyts",
                                                     "-start_at_zero",
                                                     "-benchmark",
                                                     "-benchmark_all",
                                                     "-stats",
                                                     "-nostats",
                                                     "-debug_ts",
                                                     "-xerror",
                                                     "-re",
                                                     "-accurate_seek",
                                                     "-noaccurate_seek",
                                                     "-autorotate",
                                                     "-noautorotate",
                                                     "-autoscale",
                                                     "-noautoscale",
                                                     "-dump",
                                                     "-hex",
                                                     "-ignore_unknown",
                                                     "-copy_unknown",
                                                     "-report",
                                                     "-intra",
                                                     "-psnr",
                                                     "-version",
                                                     "-stdin_check"};

// Output options worth keeping when decoding for AMR: what to take (stream, time range, audio
// filters). Everything else after the last input concerns the output format and is dropped.
constexpr std::array<std::string_view, 8> kKeptWithValue = {
    "-ss", "-t", "-to", "-map", "-af", "-filter:a", "-filter_complex", "-threads"};
constexpr std::array<std::string_view, 4> kKeptFlags = {"-shortest", "-hide_banner", "-stats",
                                                        "-nostats"};

template <size_t N>
bool contains(const std::array<std::string_view, N>& set, const std::string& s) {
    return std::find(set.begin(), set.end(), s) != set.end();
}

bool isOption(const std::string& a) {
    return a.size() > 1 && a[0] == '-';
}

bool endsWithNoCase(const std::string& s, std::string_view suffix) {
    if (s.size() < suffix.size()) {
        return false;
    }
    return std::equal(suffix.begin(), suffix.end(), s.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

CommandLine::CommandLine(std::vector<std::string> args) : args_(std::move(args)) {
    for (size_t i = 0; i < args_.size(); ++i) {
        const std::string& a = args_[i];
        if (!isOption(a)) {
            lastIsPositional_ = i + 1 == args_.size();
            continue;
        }
        if (a == "-y") {
            overwrite_ = true;
        } else if (a == "-n") {
            overwrite_ = false;
        }
        if (contains(kFlags, a)) {
            continue;
        }
        if (i + 1 < args_.size()) {
            if (a == "-i") {
                inputs_.push_back(args_[i + 1]);
                inputPositions_.push_back(i + 1);
                outputPartBegin_ = i + 2;
            }
            ++i;  // the option's value
        }
    }
}

bool CommandLine::hasOutputFlag(std::string_view flag) const {
    const size_t end = args_.size() - (lastIsPositional_ ? 1 : 0);
    for (size_t i = outputPartBegin_; i < end; ++i) {
        const std::string& a = args_[i];
        if (a == flag) {
            return true;
        }
        if (isOption(a) && !contains(kFlags, a)) {
            ++i;  // its value, which may look like a flag
        }
    }
    return false;
}

std::optional<std::string> CommandLine::output() const {
    if (!lastIsPositional_ || args_.empty()) {
        return std::nullopt;
    }
    return args_.back();
}

bool CommandLine::wantsAmr() const {
    const auto out = output();
    return !inputs_.empty() && out && endsWithNoCase(*out, ".amr");
}

std::string CommandLine::outputFormat() const {
    if (const auto format = lastOutputValue({"-f"})) {
        return *format;
    }
    struct Extension {
        std::string_view extension;
        std::string_view format;
    };
    static constexpr std::array<Extension, 6> kExtensions = {{{".avi", "avi"},
                                                              {".mkv", "matroska"},
                                                              {".mp4", "mp4"},
                                                              {".mov", "mov"},
                                                              {".rm", "rm"},
                                                              {".ra", "rm"}}};
    const auto out = output();
    if (!out || inputs_.empty()) {
        return {};
    }
    for (const Extension& e : kExtensions) {
        if (out->size() > e.extension.size() && endsWithNoCase(*out, e.extension)) {
            return std::string(e.format);
        }
    }
    return {};
}

std::optional<size_t> CommandLine::lastOutputOption(std::span<const std::string_view> names) const {
    std::optional<size_t> found;
    for (size_t i = outputPartBegin_; i + 1 < args_.size(); ++i) {
        const std::string& a = args_[i];
        if (!isOption(a) || contains(kFlags, a)) {
            continue;
        }
        if (std::find(names.begin(), names.end(), a) != names.end()) {
            found = i + 1;
        }
        ++i;
    }
    return found;
}

std::optional<std::string> CommandLine::lastOutputValue(
    std::initializer_list<std::string_view> names) const {
    const std::optional<size_t> at = lastOutputOption({names.begin(), names.size()});
    return at ? std::optional<std::string>(args_[*at]) : std::nullopt;
}

std::vector<std::string> CommandLine::withLastOutputValue(
    std::initializer_list<std::string_view> names, const std::string& value) const {
    std::vector<std::string> out = args_;
    if (const std::optional<size_t> at = lastOutputOption({names.begin(), names.size()})) {
        out[*at] = value;
    }
    return out;
}

std::optional<std::string> CommandLine::audioBitRate() const {
    const std::optional<size_t> at = lastOutputOption(kAudioBitRateOptions);
    return at ? std::optional<std::string>(args_[*at]) : std::nullopt;
}

std::vector<std::string> CommandLine::withAudioBitRate(const std::string& rate) const {
    std::vector<std::string> out = args_;
    if (const std::optional<size_t> at = lastOutputOption(kAudioBitRateOptions)) {
        out[*at] = rate;
    }
    return out;
}

std::vector<std::string> CommandLine::withoutOutputOptions(
    std::initializer_list<std::string_view> names) const {
    std::vector<std::string> out(args_.begin(),
                                 args_.begin() + static_cast<long>(outputPartBegin_));
    for (size_t i = outputPartBegin_; i < args_.size(); ++i) {
        const std::string& a = args_[i];
        const bool takesValue = isOption(a) && !contains(kFlags, a) && i + 1 < args_.size();
        if (takesValue && std::find(names.begin(), names.end(), a) != names.end()) {
            ++i;
            continue;
        }
        out.push_back(a);
        if (takesValue) {
            out.push_back(args_[++i]);
        }
    }
    return out;
}

std::vector<std::string> CommandLine::withOutputOptions(
    const std::vector<std::string>& extra) const {
    std::vector<std::string> out = args_;
    const auto at = out.end() - (lastIsPositional_ ? 1 : 0);
    out.insert(at, extra.begin(), extra.end());
    return out;
}

std::vector<std::string> CommandLine::withListItem(std::initializer_list<std::string_view> names,
                                                   const std::string& item) const {
    if (const auto at = lastOutputOption({names.begin(), names.size()})) {
        std::vector<std::string> out = args_;
        out[*at] += "," + item;
        return out;
    }
    return withOutputOptions({std::string(*names.begin()), item});
}

std::vector<std::string> CommandLine::pcmDecodeArgs() const {
    std::vector<std::string> out(args_.begin(),
                                 args_.begin() + static_cast<long>(outputPartBegin_));
    const size_t end = args_.size() - (lastIsPositional_ ? 1 : 0);
    for (size_t i = outputPartBegin_; i < end; ++i) {
        const std::string& a = args_[i];
        if (!isOption(a)) {
            continue;  // a stray extra output: only ours is written
        }
        if (contains(kFlags, a)) {
            if (contains(kKeptFlags, a)) {
                out.push_back(a);
            }
            continue;
        }
        if (i + 1 >= end) {
            break;
        }
        if (contains(kKeptWithValue, a)) {
            out.push_back(a);
            out.push_back(args_[i + 1]);
        }
        ++i;
    }
    for (const char* a : {"-vn", "-sn", "-dn", "-f", "s16le", "-acodec", "pcm_s16le", "-ar", "8000",
                          "-ac", "1", "pipe:1"}) {
        out.emplace_back(a);
    }
    return out;
}

std::optional<long> bitsPerSecondOf(const std::string& text) {
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(value) || value < 0) {
        return std::nullopt;
    }
    const std::string_view suffix(end);
    if (suffix == "k" || suffix == "K") {
        value *= 1000;
    } else if (suffix == "M") {
        value *= 1000000;
    } else if (!suffix.empty()) {
        return std::nullopt;
    }
    if (value > 1e12) {
        return std::nullopt;
    }
    return std::lround(value);
}

std::optional<int> amrModeFor(const std::optional<std::string>& bitRate) {
    // Bit rates of modes MR475 .. MR122.
    static constexpr std::array<int, 8> kModeRates = {4750, 5150, 5900,  6700,
                                                      7400, 7950, 10200, 12200};
    if (!bitRate) {
        return 7;
    }
    const std::optional<long> value = bitsPerSecondOf(*bitRate);
    if (!value) {
        return std::nullopt;
    }
    int mode = 0;
    for (int m = 0; m < static_cast<int>(kModeRates.size()); ++m) {
        if (kModeRates[static_cast<size_t>(m)] <= *value) {
            mode = m;
        }
    }
    return mode;
}

}  // namespace orvex::encoder
