#include "core/engine/job_list.h"

#include <gtest/gtest.h>

#include "../../support/qt_gtest.h"

namespace {

// Rows whose file rows and DVD rows alternate; each carries its number in every record.
void fill(JobList& list, int rows) {
    for (int n = 0; n < rows; ++n) {
        JobList::Row row;
        row.caption = QStringLiteral("clip%1").arg(n);
        row.info.source = QStringLiteral("/v/clip%1.avi").arg(n);
        if (n % 2 == 1) {
            TConvertInfo title;
            title.startSector = n;
            row.source = title;
        } else {
            row.source = FileSource{row.info.source, true, true};
        }
        list.addRow(row);
    }
}

// Which original row each remaining row came from, read from the records it carries.
std::vector<int> originsOf(const JobList& list) {
    std::vector<int> origins;
    for (int i = 0; i < list.rowCount(); ++i) {
        const int fromSource = list.jobInfo(i).source.mid(7).chopped(4).toInt();
        EXPECT_EQ(list.caption(i), QStringLiteral("clip%1").arg(fromSource));
        if (const TConvertInfo* title = list.convertInfo(i)) {
            EXPECT_EQ(title->startSector, fromSource) << "records of row " << i;
        } else {
            EXPECT_EQ(list.fileSource(i)->path, list.jobInfo(i).source);
        }
        origins.push_back(fromSource);
    }
    return origins;
}

TEST(JobList, RemovingSelectedRowsKeepsEveryRecordWithItsRow) {
    const struct {
        std::vector<int> selected;
        std::vector<int> remaining;
        int lastRemovedAt;
    } cases[] = {
        {{}, {0, 1, 2, 3, 4}, -1}, {{2}, {0, 1, 3, 4}, 2},   {{0, 4}, {1, 2, 3}, 3},
        {{1, 2, 3}, {0, 4}, 1},    {{0, 1, 2, 3, 4}, {}, 0},
    };
    for (const auto& c : cases) {
        JobList list;
        fill(list, 5);
        for (int row : c.selected) {
            list.setSelected(row, true);
        }
        EXPECT_EQ(list.removeSelected(), c.lastRemovedAt);
        EXPECT_EQ(originsOf(list), c.remaining);
        EXPECT_FALSE(list.hasSelection());
    }
}

TEST(JobList, StatusTextIsRenderedFromTheRowState) {
    const struct {
        RowState state;
        const char* text;
    } cases[] = {
        {RowState(), "Status"},
        {{RowState::Ready, 0, {}, {}, {}}, "Ready"},
        {RowState::running(5), "00.05%"},
        {RowState::running(4567), "45.67%"},
        {RowState::running(10050), "100.50%"},
        {RowState::running(-1), "00.00%"},
        {{RowState::Finished, 0, {}, {}, {}}, "Finish"},
        {RowState::failed("boom"), "Failed"},
        {{RowState::Stopped, 0, {}, {}, {}}, "Stop"},
    };
    for (const auto& c : cases) {
        JobList list;
        fill(list, 1);
        list.setState(0, c.state);
        EXPECT_EQ(list.status(0), QString::fromLatin1(c.text));
        EXPECT_EQ(list.subItem(0, JobList::StatusColumn), QString::fromLatin1(c.text));
    }
}

TEST(JobList, ColumnWritesSignalOncePerChange) {
    JobList list;
    fill(list, 1000);
    int rowSignals = 0;
    int columnSignals = 0;
    QObject::connect(&list, &JobList::rowChanged, [&](int) { ++rowSignals; });
    QObject::connect(&list, &JobList::columnChanged, [&](int) { ++columnSignals; });
    QStringList texts;
    for (int i = 0; i < 1000; ++i) {
        texts << QStringLiteral("%1MB").arg(i);
    }
    list.setColumnTexts(JobList::OutputSizeColumn, texts);
    list.setColumnTexts(JobList::OutputSizeColumn, texts);  // unchanged: no signal
    list.setColumnTexts(JobList::StatusColumn, texts);      // rendered from state: refused
    EXPECT_EQ(columnSignals, 1);
    EXPECT_EQ(rowSignals, 0);
    EXPECT_EQ(list.subItem(999, JobList::OutputSizeColumn), "999MB");
    EXPECT_EQ(list.status(999), "Status");

    list.setProgress(3, 4567);
    list.setProgress(3, 4567);
    list.setProgress(5000, 1);  // beyond the last row: ignored
    EXPECT_EQ(rowSignals, 1);
    EXPECT_EQ(list.status(3), "45.67%");
}

}  // namespace
