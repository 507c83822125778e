#include "gui/job_list_model.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <algorithm>
#include <cstdio>

#include "core/engine/progress_monitor.h"

namespace {

// A list of 10,000 rows with 8 jobs running: each progress line of a job updates its own row
// and nothing else, so the view repaints one row, never the whole list.
TEST(JobListModelTest, RunningJobsUpdateOnlyTheirOwnRows) {
    JobList jobs;
    std::vector<JobList::Row> rows(10000);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].caption = QStringLiteral("clip%1").arg(i);
        rows[i].info.duration = QStringLiteral("00:01:40");
    }
    jobs.addRows(std::move(rows));
    JobListModel model(jobs);
    ProgressMonitor monitor(jobs);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    std::vector<int> bar;
    QObject::connect(&monitor, &ProgressMonitor::progressShown,
                     [&bar](int value) { bar.push_back(value); });

    monitor.startRun(10000 * 100, true);
    const int running[] = {0, 1, 2, 3, 4000, 4001, 9998, 9999};
    for (int row : running) {
        monitor.startJob(row, 100);
    }
    QElapsedTimer clock;
    clock.start();
    LineBuffer buffer;
    for (int second = 1; second <= 100; ++second) {
        for (int row : running) {
            buffer.append(QStringLiteral("frame=1 time=00:%1:%2.00 bitrate=N/A speed=2x\r")
                              .arg(second / 60, 2, 10, QLatin1Char('0'))
                              .arg(second % 60, 2, 10, QLatin1Char('0'))
                              .toLatin1());
            monitor.parseOutput(row, buffer);
        }
    }
    std::printf("800 progress lines over 10,000 rows: %lld ms\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(layouts.count(), 0);
    ASSERT_FALSE(changes.isEmpty());
    for (const QList<QVariant>& change : changes) {
        EXPECT_EQ(change[0].toModelIndex().row(), change[1].toModelIndex().row());
    }
    EXPECT_EQ(jobs.status(4000), "100.00%");
    EXPECT_EQ(jobs.status(5), "Status");
    // The bar counts the run: 8 whole jobs of 10,000.
    EXPECT_EQ(bar.back(), 8);
    EXPECT_TRUE(std::is_sorted(bar.begin(), bar.end()));
}

}  // namespace
