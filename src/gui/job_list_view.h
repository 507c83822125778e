#pragma once

#include <QTableView>

#include "core/engine/job_list.h"
#include "gui/job_list_model.h"

// `lv`: the job list as a table with whole-row, multiple selection that stays in step with the
// list's own selection flags, files and folders dropped on it, the Delete key, and Space for
// the tick of the current row.
class JobListView : public QTableView {
    Q_OBJECT
  public:
    JobListView(JobList& jobs, QWidget* parent = nullptr);

    JobListModel* jobModel() const { return model_; }

  signals:
    void pressedInList();
    void deletePressed();
    void rowActivated(int row);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void selectionToList();
    void selectionFromList();

    JobList& jobs_;
    JobListModel* model_;
    bool syncing_ = false;
};
