#pragma once

#include <QString>
#include <QStringList>

// Where a row stands. The status column's text is rendered from it, and every rule that reads
// a status reads this instead.
struct RowState {
    enum Kind {
        New,       // a file row just added: "Status"
        Ready,     // a DVD row just added, or passed over by a run: "Ready"
        Running,   // being converted: "45.67%"
        Finished,  // its job ended well: "Finish"
        Failed,    // its job could not run or ended badly: "Failed"
        Stopped,   // the user stopped the run during it: "Stop"
    };

    Kind kind = New;
    int progress = 0;        // hundredths of a percent, while Running
    QString reason;          // why it failed, in words
    QStringList outputTail;  // the encoder's last lines, for a failed job
    QString outputName;      // the file its last job wrote or was to write

    static RowState running(int progress) { return {Running, progress, {}, {}, {}}; }
    static RowState failed(QString reason, QStringList tail = {}) {
        return {Failed, 0, std::move(reason), std::move(tail), {}};
    }

    bool operator==(const RowState&) const = default;
};

// "Status", "Ready", "45.67%", "Finish", "Failed", "Stop".
QString statusText(const RowState& state);
// Hundredths of a percent as the status column writes them: "00.05%", "45.67%", "100.50%";
// never negative.
QString percentText(int value);
