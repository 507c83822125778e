// A profile switch with 10,000 rows in the job list, shown in the window's table, against the
// same switch with one row; prints both times, their ratio and the model signals per switch
// (a handful, not one per row).
#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tests/support/fake_machine.h"
#include "../tests/support/fake_user_interface.h"
#include "../tests/support/test_session.h"
#include "gui/job_list_view.h"

namespace {

struct Result {
    double ms = 0;
    int modelSignals = 0;
};

Result switchesWith(int rows, int switches) {
    QTemporaryDir dir;
    orvex::test::copyProfilesPop(dir.path());
    orvex::test::FakeUserInterface ui;
    orvex::test::FakeMachine machine;
    auto session = orvex::test::makeTestSession(dir.path(), QStringLiteral("orvex"), ui, machine);
    session->loadSettings(118);
    std::vector<JobList::Row> list;
    for (int i = 0; i < rows; ++i) {
        JobList::Row row;
        row.caption = QStringLiteral("clip%1").arg(i);
        row.info = {QStringLiteral("/v/clip%1.avi").arg(i),
                    QStringLiteral("640x480"),
                    QStringLiteral("00:01:00"),
                    {},
                    QStringLiteral("1000"),
                    QStringLiteral("128")};
        row.source = FileSource{row.info.source, true, true};
        list.push_back(row);
    }
    session->jobs().addRows(std::move(list));
    JobListView view(session->jobs());
    view.resize(535, 356);
    view.show();
    QApplication::processEvents();
    Result r;
    auto count = [&r] { ++r.modelSignals; };
    QObject::connect(view.model(), &QAbstractItemModel::dataChanged, count);
    QObject::connect(view.model(), &QAbstractItemModel::modelReset, count);
    QObject::connect(view.model(), &QAbstractItemModel::rowsInserted, count);
    QElapsedTimer t;
    t.start();
    for (int k = 0; k < switches; ++k) {
        session->selection().selectProfile(k % 2 == 0 ? 119 : 118);
        QApplication::processEvents();
    }
    r.ms = static_cast<double>(t.nsecsElapsed()) / 1e6 / switches;
    r.modelSignals /= switches;
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const Result one = switchesWith(1, 40);
    const Result many = switchesWith(10000, 40);
    std::printf("profile_switch_bench: a profile switch with the list shown\n");
    std::printf("  1 row:       %.2f ms, %d model signals\n", one.ms, one.modelSignals);
    std::printf("  10,000 rows: %.2f ms, %d model signals (time ratio %.1f)\n", many.ms,
                many.modelSignals, many.ms / one.ms);
    return 0;
}
