// The probe parser reads whatever the encoder prints about a file of the user's.
#include "core/engine/line_buffer.h"
#include "core/sources/probe_parser.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orvex::fuzz::Input input(data, size);
    ProbeParser parser;
    LineBuffer buffer;
    input.forEachChunk([&](QByteArrayView chunk) {
        buffer.append(chunk);
        parser.parse(buffer);
    });
    parser.finish(buffer);
    const QString text = QString::fromLatin1(input.rest);
    (void)ProbeParser::rateBeforeKbps(text);
    (void)ProbeParser::sizeToken(text);
    return 0;
}
