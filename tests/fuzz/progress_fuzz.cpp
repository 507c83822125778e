// The progress parser reads the encoder's running output against the job's duration.
#include "core/engine/job_list.h"
#include "core/engine/line_buffer.h"
#include "core/engine/progress_monitor.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const orvex::fuzz::Input input(data, size);
    JobList jobs;
    JobList::Row row;
    row.caption = QStringLiteral("clip");
    jobs.addRow(row);
    ProgressMonitor monitor(jobs);
    monitor.startRun();
    // Durations of 0 (a source without one) up to long films.
    monitor.startJob(0, input.control < 16 ? 0 : qint32{input.control} * 37);
    LineBuffer buffer;
    input.forEachChunk([&](QByteArrayView chunk) {
        buffer.append(chunk);
        monitor.parseOutput(buffer);
    });
    monitor.timer2Tick();
    return 0;
}
