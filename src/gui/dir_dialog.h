#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class FolderTree;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeView;

// Tfm_dir: the folder dialog. A tree of folders (folders only) with an editable path that
// follows it, places beside it (home, videos, mounted media), "Ok" and "Cancel". Each caller
// sets its own caption. "Ok" takes the path shown, typed or picked; an empty path keeps the
// dialog open, and so does a path that is no folder, saying so. "Cancel" and the frame's
// close box give an empty result.
class Tfm_dir : public QDialog {
    Q_OBJECT
  public:
    struct Place {
        enum Kind { Home, Folder, Medium };
        QString label;
        QString path;
        Kind kind = Folder;
    };

    explicit Tfm_dir(QWidget* parent = nullptr);

    // Shows the dialog modally with `caption`, opened at `start` when it is a folder, else at
    // the home folder; the chosen folder (chosenFolder), or empty.
    QString choose(const QString& caption, const QString& start = {});
    const QString& chosenFolder() const { return chosenFolder_; }

    // Home, the videos folder when there is one, then each mounted medium.
    static QList<Place> places();

    QTreeView* ShellTreeView1() const;
    QLineEdit* ed_path() const { return path_; }
    QListWidget* lb_places() const { return places_; }
    QLabel* lbl_problem() const { return problem_; }
    QPushButton* btn_ok() const { return ok_; }
    QPushButton* btn_cancel() const { return cancel_; }

  private:
    void prepareModel();
    void fillPlaces();
    // Selects and shows `folder` in the tree; the path field follows.
    void goTo(const QString& folder);
    void pathEdited(const QString& text);
    void okClicked();

    QFileSystemModel* model_;
    QLineEdit* path_;
    QListWidget* places_;
    FolderTree* tree_;
    QLabel* problem_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QString chosenFolder_;
    bool followingPath_ = false;  // the tree moves to a typed path: leave the text alone
};
