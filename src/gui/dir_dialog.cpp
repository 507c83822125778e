#include "gui/dir_dialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

Tfm_dir::Tfm_dir(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      model_(new QFileSystemModel(this)),
      tree_(new QTreeView(this)),
      ok_(new QPushButton(QStringLiteral("Ok"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Output Directory"));
    setFixedSize(287, 248);
    tree_->header()->hide();
    tree_->setRootIsDecorated(true);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    // A right click selects, as in the shell's own folder trees.
    connect(tree_, &QTreeView::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = tree_->indexAt(at);
        if (index.isValid()) {
            tree_->setCurrentIndex(index);
        }
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(tree_);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, [this] {
        const QModelIndex index = tree_->currentIndex();
        chosenFolder_ =
            index.isValid() ? QDir::toNativeSeparators(model_->filePath(index)) : QString();
        if (!chosenFolder_.isEmpty()) {
            accept();
        }
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        chosenFolder_.clear();
        reject();
    });
}

QString Tfm_dir::choose(const QString& caption, const QString& start) {
    if (tree_->model() != model_) {
        // Reading the file system waits for the first use: most runs never open this dialog.
        model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
        model_->setRootPath(QString());
        tree_->setModel(model_);
        for (int column = 1; column < model_->columnCount(); ++column) {
            tree_->hideColumn(column);
        }
    }
    setWindowTitle(caption);
    chosenFolder_.clear();
    tree_->clearSelection();
    tree_->setCurrentIndex({});
    const QDir folder(start);
    if (!start.isEmpty() && folder.exists()) {
        const QModelIndex index = model_->index(folder.absolutePath());
        tree_->setCurrentIndex(index);
        tree_->scrollTo(index);
    } else {
        tree_->scrollTo(model_->index(QDir::homePath()));
        tree_->expand(model_->index(QDir::homePath()));
    }
    if (parentWidget() != nullptr) {
        move(parentWidget()->geometry().center() - rect().center());
    }
    // The frame's close box is a Cancel.
    return exec() == QDialog::Accepted ? chosenFolder_ : QString();
}
