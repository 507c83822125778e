#pragma once

#include <QDialog>
#include <QString>

class QFileSystemModel;
class QPushButton;
class QTreeView;

// Tfm_dir: a tree of folders (folders only) with "Ok" and "Cancel". Each caller sets its own
// caption. "Ok" with no folder selected keeps the dialog open; "Cancel" and the frame's close
// box give an empty result.
class Tfm_dir : public QDialog {
    Q_OBJECT
  public:
    explicit Tfm_dir(QWidget* parent = nullptr);

    // Shows the dialog modally with `caption`, starting at `start` when it is a folder;
    // the chosen folder (chosenFolder), or empty.
    QString choose(const QString& caption, const QString& start = {});
    const QString& chosenFolder() const { return chosenFolder_; }

    QTreeView* ShellTreeView1() const { return tree_; }
    QPushButton* btn_ok() const { return ok_; }
    QPushButton* btn_cancel() const { return cancel_; }

  private:
    QFileSystemModel* model_;
    QTreeView* tree_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QString chosenFolder_;
};
