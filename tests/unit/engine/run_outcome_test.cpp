#include "core/engine/run_outcome.h"

#include <gtest/gtest.h>

#include <QHash>

namespace {

// One row per letter: F finished, X failed, S stopped, N not converted yet; T a ticked DVD
// title that finished, u an unticked one the run passed over.
void fill(JobList& jobs, const QString& rows) {
    const QHash<QChar, RowState::Kind> kinds = {
        {'F', RowState::Finished}, {'T', RowState::Finished}, {'X', RowState::Failed},
        {'S', RowState::Stopped},  {'N', RowState::New},      {'u', RowState::Ready}};
    for (const QChar c : rows) {
        JobList::Row row;
        if (c == 'T' || c == 'u') {
            row.source = TConvertInfo{};
            row.checked = c == 'T';
        }
        row.state.kind = kinds.value(c);
        jobs.addRow(row);
    }
}

TEST(RunOutcome, SaysHowTheRunEndedOverTheRowsItWasMeantToConvert) {
    const struct {
        const char* rows;
        int stoppedAt;
        const char* text;
        bool succeeded;
    } cases[] = {
        {"FFF", -1, "3 of 3 converted", true},
        {"FXF", -1, "2 converted, 1 failed", false},
        {"XX", -1, "0 converted, 2 failed", false},
        // What an earlier run left after the stopped row does not count as converted.
        {"FSF", 1, "Stopped: 1 of 3 converted", false},
        {"XSN", 1, "Stopped: 0 of 3 converted, 1 failed", false},
        {"TuT", -1, "2 of 2 converted", true},
        {"uu", -1, "Nothing converted: no row is ticked", true},
    };
    for (const auto& c : cases) {
        JobList jobs;
        fill(jobs, QString::fromLatin1(c.rows));
        const RunOutcome outcome = RunOutcome::of(jobs, c.stoppedAt);
        EXPECT_EQ(outcome.text(), QString::fromLatin1(c.text)) << c.rows;
        EXPECT_EQ(outcome.succeeded(), c.succeeded) << c.rows;
    }
}

}  // namespace
