#pragma once

#include <QElapsedTimer>
#include <QTreeView>

// The folder dialog's tree. Typing looks for a folder whose name starts with the typed letters
// (in any case) beside the current folder, in its own parent, rather than anywhere in the
// opened tree; the same letter again steps to the next such folder.
class FolderTree : public QTreeView {
    Q_OBJECT
  public:
    using QTreeView::QTreeView;

    void keyboardSearch(const QString& search) override;

  private:
    QString typed_;
    QElapsedTimer sinceKey_;
};
