// register.dat's argument handling: the option splitting of the command it is given, the AMR
// path and the DVD locator, and the program's own splitting of option texts into arguments.
#include "core/engine/dvd_locator.h"
#include "core/engine/invocation.h"
#include "dvdsectors/vts_locator.h"
#include "encoder/command_line.h"
#include "encoder/encoder_limits.h"
#include "fuzz_input.h"

using namespace orvex::encoder;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orvex::fuzz::Input input(data, size);
    const CommandLine cmd(input.arguments());
    (void)cmd.output();
    (void)fitToEncoderLimits(cmd);
    if (cmd.wantsAmr()) {
        (void)amrModeFor(cmd.audioBitRate());
        (void)cmd.pcmDecodeArgs();
        (void)cmd.withAudioBitRate("12200");
    }
    for (const std::string& in : cmd.inputs()) {
        std::string error;
        if (orvex::dvd::isVtsLocator(in)) {
            (void)orvex::dvd::parseVtsLocator(in, &error);
        }
    }
    // Option texts as profiles.pop and the lists give them.
    intputrec rec;
    const QString text = QString::fromUtf8(input.rest);
    rec.profileArgs = text;
    rec.videoOption = text.left(input.control % 32);
    rec.inputName = text.mid(input.control % 7);
    rec.outputName = text.right(input.control % 11);
    (void)argumentList(rec);
    (void)commandLineText(rec);
    return 0;
}
