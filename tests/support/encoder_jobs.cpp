#include "encoder_jobs.h"

#include <memory>

#include "qt_gtest.h"

namespace orvex::test {

std::vector<std::optional<JobEnd>> runEncoderJobs(const std::vector<intputrec>& jobs, int parallel,
                                                  int timeoutMs) {
    std::vector<std::optional<JobEnd>> ends(jobs.size());
    std::vector<std::unique_ptr<EncoderJob>> running(jobs.size());
    size_t next = 0;
    int active = 0;
    waitUntil(
        [&] {
            for (; active < parallel && next < jobs.size(); ++next) {
                if (!jobs[next].encoderPath.isEmpty()) {
                    ++active;
                    running[next] = std::make_unique<EncoderJob>();
                    QObject::connect(running[next].get(), &EncoderJob::ended,
                                     [&, i = next](const JobEnd& end) {
                                         ends[i] = end;
                                         --active;
                                     });
                    running[next]->run(jobs[next]);
                }
            }
            return next == jobs.size() && active == 0;
        },
        timeoutMs);
    for (auto& job : running) {
        if (job && job->isRunning()) {
            job->terminate();
        }
    }
    return ends;
}

}  // namespace orvex::test
