#include "gui/folder_tree.h"

#include <QApplication>

void FolderTree::keyboardSearch(const QString& search) {
    if (search.isEmpty() || model() == nullptr) {
        return;
    }
    const bool sameWord =
        sinceKey_.isValid() && sinceKey_.elapsed() < QApplication::keyboardInputInterval();
    typed_ = sameWord ? typed_ + search : search;
    sinceKey_.restart();
    // "v", "vv", "vvv" step through the folders beginning with v; "vi" narrows in place.
    const bool stepping = typed_.count(typed_.front()) == typed_.size();
    const QString prefix = stepping ? typed_.left(1) : typed_;

    const QModelIndex current = currentIndex();
    const QModelIndex parent = current.isValid() ? current.parent() : rootIndex();
    const int rows = model()->rowCount(parent);
    const int first = current.isValid() ? current.row() + (stepping ? 1 : 0) : 0;
    for (int i = 0; i < rows; ++i) {
        const QModelIndex candidate = model()->index((first + i) % rows, 0, parent);
        if (candidate.data().toString().startsWith(prefix, Qt::CaseInsensitive)) {
            setCurrentIndex(candidate);
            scrollTo(candidate);
            return;
        }
    }
}
