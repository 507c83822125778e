#pragma once

#include <QObject>
#include <QString>

#include "core/engine/job_list.h"
#include "core/profiles/profile_selection.h"

// The "Output Size" column: the estimated size of every row's output under the current choices.
class OutputEstimates : public QObject {
    Q_OBJECT
  public:
    OutputEstimates(const ProfileSelection& selection, JobList& jobs, QObject* parent = nullptr);

    // refreshEstimates: every row's estimate, top to bottom, written with one list signal.
    void refreshEstimates();
    // The estimate for a source described by info; empty when it cannot be worked out (why
    // goes to *error).
    QString estimateFor(const Toriginalinfo& info, QString* error = nullptr) const;
    QString estimateOutputSize(int row) const;

    // kbps for seconds as megabytes: five significant digits, then two decimals ("7.15MB");
    // from 100000 on in exponent form.
    static QString formatEstimate(qint64 totalKbps, qint64 seconds);

  signals:
    // A row's estimate could not be worked out (a damaged profile record, a broken source
    // value). Once per refresh; the column stays blank for that row.
    void problem(const QString& text);

  private:
    const ProfileSelection& selection_;
    JobList& jobs_;
};
