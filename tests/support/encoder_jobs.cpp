#include "encoder_jobs.h"

#include <functional>
#include <memory>

#include "qt_gtest.h"

namespace orvex::test {

std::vector<std::optional<JobEnd>> runEncoderJobs(const std::vector<intputrec>& jobs, int parallel,
                                                  int timeoutMs) {
    std::vector<std::optional<JobEnd>> ends(jobs.size());
    std::vector<std::unique_ptr<EncoderJob>> running(jobs.size());
    size_t next = 0;
    size_t finished = 0;
    int active = 0;
    auto startMore = [&] {
        while (active < parallel && next < jobs.size()) {
            const size_t i = next++;
            if (jobs[i].encoderPath.isEmpty()) {
                ++finished;
                continue;
            }
            ++active;
            running[i] = std::make_unique<EncoderJob>();
            QObject::connect(running[i].get(), &EncoderJob::ended, [&, i](const JobEnd& end) {
                ends[i] = end;
                ++finished;
                --active;
            });
            running[i]->run(jobs[i]);
        }
    };
    waitUntil(
        [&] {
            startMore();
            return finished >= jobs.size();
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
