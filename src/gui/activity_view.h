#pragma once

#include <QDialog>

class ActivityLog;
class QLabel;
class QPlainTextEdit;
class MachineRequests;
class QPushButton;

// The window onto the activity log: this run's lines, growing as the program works, where the
// file lies, and a button that opens the folder of the logs. It blocks nothing.
class ActivityView : public QDialog {
    Q_OBJECT
  public:
    ActivityView(ActivityLog& log, MachineRequests& machine, QWidget* parent = nullptr);

    void showLog();
    QPlainTextEdit* view() const { return view_; }
    QPushButton* openFolderButton() const { return openFolder_; }

  private:
    void openFolder();

    ActivityLog& log_;
    MachineRequests& machine_;
    QPlainTextEdit* view_;
    QLabel* where_;
    QPushButton* openFolder_;
};
