#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvex::encoder {

// The parts of an FFmpeg-style argument list that register.dat cares about. Options are told
// apart from their values by FFmpeg's rule: every option takes one value except a known set of
// flags; whatever is left over names an output.
class CommandLine {
  public:
    explicit CommandLine(std::vector<std::string> args);

    const std::vector<std::string>& args() const { return args_; }
    const std::vector<std::string>& inputs() const { return inputs_; }
    // Index in args() of each input (the argument after its -i).
    const std::vector<size_t>& inputPositions() const { return inputPositions_; }
    // Index of the first argument after the last input, where the output options begin.
    size_t outputPartBegin() const { return outputPartBegin_; }
    // True when `flag` ("-vn", "-an") is among the output options.
    bool hasOutputFlag(std::string_view flag) const;

    // The output path when the last argument is one (not an option or an option's value).
    std::optional<std::string> output() const;
    // True when the output ends in ".amr" in any letter case: an AMR-NB job.
    bool wantsAmr() const;
    // The container written: the last -f after the last input, else what the output's
    // extension stands for (".avi", ".mkv", ".mp4", ".mov", ".rm", ".ra"); empty when neither
    // says.
    std::string outputFormat() const;
    bool overwrite() const { return overwrite_; }  // -y given (and no later -n)
    // Last value of -ab / -b:a / -b:a:0 after the last input, if any.
    std::optional<std::string> audioBitRate() const;
    // The arguments with that last audio bit rate replaced by `rate`.
    std::vector<std::string> withAudioBitRate(const std::string& rate) const;
    // Last value after the last input of any of the options `names` ("-ac", "-acodec" ...).
    std::optional<std::string> lastOutputValue(std::initializer_list<std::string_view> names) const;
    // The arguments with that last value replaced by `value` (unchanged when there is none).
    std::vector<std::string> withLastOutputValue(std::initializer_list<std::string_view> names,
                                                 const std::string& value) const;

    // The arguments without every `names` option (and its value) after the last input.
    std::vector<std::string> withoutOutputOptions(
        std::initializer_list<std::string_view> names) const;
    // The arguments with `extra` added to the output options, just before the output path.
    std::vector<std::string> withOutputOptions(const std::vector<std::string>& extra) const;
    // The arguments with `item` joined to the comma list of the last of `names` ("-vf" with
    // "tpad=stop=2": "fps=25" becomes "fps=25,tpad=stop=2"), or added as `names`' first when
    // the command has none.
    std::vector<std::string> withListItem(std::initializer_list<std::string_view> names,
                                          const std::string& item) const;

    // Arguments for an FFmpeg that decodes the audio to raw 8 kHz mono s16le on standard output:
    // global and input options stay, output options that would clash are dropped, the output
    // path is replaced by the pipe.
    std::vector<std::string> pcmDecodeArgs() const;

  private:
    static constexpr std::array<std::string_view, 3> kAudioBitRateOptions = {"-ab", "-b:a",
                                                                             "-b:a:0"};
    // Index of the value of the last of `names` after the last input.
    std::optional<size_t> lastOutputOption(std::span<const std::string_view> names) const;

    std::vector<std::string> args_;
    std::vector<std::string> inputs_;
    std::vector<size_t> inputPositions_;
    size_t outputPartBegin_ = 0;  // first index after the last "-i VALUE"
    bool lastIsPositional_ = false;
    bool overwrite_ = false;
};

// A bit-rate text ("128000", "128k", "1.5M") in bits per second; nullopt when it is not one.
std::optional<long> bitsPerSecondOf(const std::string& text);

// AMR-NB mode (0 = 4.75 kbit/s .. 7 = 12.2 kbit/s) for a bit-rate text such as "7400", "7.4k"
// or "12k": the fastest mode at or below the rate, the slowest below 4750, the fastest when
// the text is absent. nullopt for a text that is not a rate.
std::optional<int> amrModeFor(const std::optional<std::string>& bitRate);

}  // namespace orvex::encoder
