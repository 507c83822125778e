#pragma once

#include <QDialog>
#include <QTextBlockFormat>

class ActivityLog;
class QLabel;
class QTextEdit;
class MachineRequests;
class QPushButton;

// The window onto the activity log: this run's lines, growing as the program works, where the
// file lies, and a button that opens the folder of the logs. It blocks nothing. A line too long
// for the window wraps under its text, clear of the time and category column.
class ActivityView : public QDialog {
    Q_OBJECT
  public:
    ActivityView(ActivityLog& log, MachineRequests& machine, QWidget* parent = nullptr);

    void showLog();
    QTextEdit* view() const { return view_; }
    QPushButton* openFolderButton() const { return openFolder_; }

  private:
    void openFolder();
    void appendLine(const QString& line);

    ActivityLog& log_;
    MachineRequests& machine_;
    QTextEdit* view_;
    QTextBlockFormat hanging_;
    QLabel* where_;
    QPushButton* openFolder_;
};
