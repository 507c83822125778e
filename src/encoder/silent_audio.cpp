#include "encoder/silent_audio.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "encoder/ffmpeg_child.h"

namespace orvex::encoder {

namespace {

// Output formats whose muxer refuses a file without an audio stream.
constexpr std::array<std::string_view, 1> kFormatsNeedingAudio = {"psp"};

bool needsAudio(const CommandLine& cmd) {
    if (cmd.inputs().empty() || !cmd.output() || cmd.hasOutputFlag("-an")) {
        return false;
    }
    const auto format = cmd.lastOutputValue({"-f"});
    return format && std::find(kFormatsNeedingAudio.begin(), kFormatsNeedingAudio.end(), *format) !=
                         kFormatsNeedingAudio.end();
}

// Runs FFmpeg on the command's inputs, mapping the first input's first audio stream: it fails
// when there is none. A probe that cannot run counts as "has audio", which leaves the command
// as the caller wrote it.
bool firstInputHasAudio(const CommandLine& cmd, const FfmpegLauncher& launcher) {
    std::vector<std::string> probe = {"-v", "quiet"};
    probe.insert(probe.end(), cmd.args().begin(),
                 cmd.args().begin() + static_cast<long>(cmd.outputPartBegin()));
    for (const char* a : {"-map", "0:a:0", "-t", "0", "-f", "null", "-"}) {
        probe.emplace_back(a);
    }
    FfmpegChild child;
    if (!child.start(launcher, probe)) {
        return true;
    }
    child.closePipe();
    const int status = child.wait();
    return status != 1;
}

std::vector<std::string> withSilentAudio(const CommandLine& cmd, bool inputHasAudio) {
    if (inputHasAudio || !needsAudio(cmd)) {
        return cmd.args();
    }
    const std::string sampleRate = cmd.lastOutputValue({"-ar", "-ar:a"}).value_or("44100");
    const std::string layout = cmd.lastOutputValue({"-ac", "-ac:a"}) == "1" ? "mono" : "stereo";
    std::vector<std::string> out(cmd.args().begin(),
                                 cmd.args().begin() + static_cast<long>(cmd.outputPartBegin()));
    for (const std::string& a :
         {std::string("-f"), std::string("lavfi"), std::string("-i"),
          "anullsrc=r=" + sampleRate + ":cl=" + layout, std::string("-map"), std::string("0:v:0"),
          std::string("-map"), std::string("1:a:0"), std::string("-shortest")}) {
        out.push_back(a);
    }
    out.insert(out.end(), cmd.args().begin() + static_cast<long>(cmd.outputPartBegin()),
               cmd.args().end());
    return out;
}

}  // namespace

std::vector<std::string> withSilentAudioWhereNeeded(const std::vector<std::string>& args,
                                                    const FfmpegLauncher& launcher) {
    const CommandLine cmd(args);
    if (!needsAudio(cmd)) {
        return args;
    }
    return withSilentAudio(cmd, firstInputHasAudio(cmd, launcher));
}

}  // namespace orvex::encoder
