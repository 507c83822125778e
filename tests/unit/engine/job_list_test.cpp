#include "core/engine/job_list.h"

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

Toriginalinfo infoOf(int n) {
    Toriginalinfo info;
    info.source = QStringLiteral("/v/clip%1.avi").arg(n);
    info.duration = QStringLiteral("00:00:%1").arg(n, 2, 10, QLatin1Char('0'));
    return info;
}

void fill(JobList& list, int rows) {
    for (int n = 0; n < rows; ++n) {
        TConvertInfo convert;
        convert.startSector = n;
        list.addRow(QStringLiteral("clip%1").arg(n), {"320x240", "", "", "Status"}, infoOf(n),
                    convert);
    }
}

// Which original row each remaining row came from, read from the records it carries.
std::vector<int> originsOf(const JobList& list) {
    std::vector<int> origins;
    for (int i = 0; i < list.rowCount(); ++i) {
        const int fromSource = list.jobInfo(i).source.mid(7).chopped(4).toInt();
        EXPECT_EQ(list.convertInfo(i).startSector, fromSource) << "records of row " << i;
        EXPECT_EQ(list.caption(i), QStringLiteral("clip%1").arg(fromSource));
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

TEST(JobList, RemoveRowAndStatusWrites) {
    JobList list;
    fill(list, 3);
    int changed = 0;
    QObject::connect(&list, &JobList::rowChanged, [&changed](int) { ++changed; });
    list.removeRow(1);
    list.removeRow(7);  // not a row: nothing happens
    EXPECT_EQ(originsOf(list), (std::vector<int>{0, 2}));

    list.setStatus(1, "45.67%");
    list.setStatus(1, "45.67%");  // same text: no second change
    list.setStatus(5, "Finish");  // beyond the last row: ignored
    EXPECT_EQ(list.status(1), "45.67%");
    EXPECT_EQ(list.status(0), "Status");
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(list.subItem(1, 9), QString());
}

}  // namespace
