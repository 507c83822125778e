#include "gui/dir_dialog.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/folder_tree.h"
#include "platform/drives.h"

namespace {

// A typed path as a folder path: blanks trimmed, "~" the home folder.
QString expanded(const QString& typed) {
    QString path = typed.trimmed();
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/"))) {
        path = QDir::homePath() + path.mid(1);
    }
    return path;
}

// Where the dialog opens for `start`: the folder, or for one not made yet (the output folder
// before the first run) its nearest existing parent; the home folder when only the root is.
QString openingFolder(const QString& start) {
    const QString wanted = QDir::cleanPath(expanded(start));
    if (!QDir::isAbsolutePath(wanted)) {
        return QDir::homePath();
    }
    QString at = wanted;
    while (!QFileInfo(at).isDir()) {
        at = QFileInfo(at).absolutePath();
    }
    return QDir(at).isRoot() && at != wanted ? QDir::homePath() : at;
}

}  // namespace

Tfm_dir::Tfm_dir(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      model_(new QFileSystemModel(this)),
      path_(new QLineEdit(this)),
      places_(new QListWidget(this)),
      tree_(new FolderTree(this)),
      problem_(new QLabel(this)),
      ok_(new QPushButton(QStringLiteral("Ok"), this)),
      cancel_(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Output Directory"));
    // Room for the places and a readable path; the tree alone used to be 287 x 248.
    resize(600, 400);
    setMinimumSize(420, 300);
    setSizeGripEnabled(true);

    path_->setClearButtonEnabled(true);
    path_->setPlaceholderText(QStringLiteral("Type or paste a folder"));
    path_->setAccessibleName(QStringLiteral("Folder"));
    places_->setAccessibleName(QStringLiteral("Places"));
    places_->setFixedWidth(150);
    places_->setFrameShape(QFrame::NoFrame);
    places_->setTextElideMode(Qt::ElideMiddle);
    tree_->setAccessibleName(QStringLiteral("Folders"));
    tree_->header()->hide();
    tree_->setRootIsDecorated(true);
    tree_->setUniformRowHeights(true);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    // A right click selects, as in the shell's own folder trees.
    connect(tree_, &QTreeView::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = tree_->indexAt(at);
        if (index.isValid()) {
            tree_->setCurrentIndex(index);
        }
    });
    problem_->setWordWrap(true);
    QPalette warn = problem_->palette();
    warn.setColor(QPalette::WindowText, QColor(0xff, 0x8a, 0x8e));
    problem_->setPalette(warn);
    problem_->hide();
    ok_->setDefault(true);

    auto* top = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("&Folder:"), this);
    label->setBuddy(path_);
    top->addWidget(label);
    top->addWidget(path_, 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(places_);
    middle->addWidget(tree_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(problem_, 1);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    setTabOrder(path_, places_);
    setTabOrder(places_, tree_);
    setTabOrder(tree_, ok_);
    setTabOrder(ok_, cancel_);

    connect(path_, &QLineEdit::textEdited, this, &Tfm_dir::pathEdited);
    connect(places_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { goTo(item->data(Qt::UserRole).toString()); });
    connect(places_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { goTo(item->data(Qt::UserRole).toString()); });
    connect(ok_, &QPushButton::clicked, this, &Tfm_dir::okClicked);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        chosenFolder_.clear();
        reject();
    });
}

QTreeView* Tfm_dir::ShellTreeView1() const {
    return tree_;
}

QList<Tfm_dir::Place> Tfm_dir::places() {
    QList<Place> list{{QStringLiteral("Home"), QDir::homePath(), Place::Home}};
    const QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (!videos.isEmpty() && videos != QDir::homePath() && QFileInfo(videos).isDir()) {
        list.append({QStringLiteral("Videos"), videos, Place::Folder});
    }
    for (const QString& mount : platform::mountedMedia()) {
        list.append({QFileInfo(mount).fileName(), mount, Place::Medium});
    }
    return list;
}

void Tfm_dir::prepareModel() {
    if (tree_->model() == model_) {
        return;
    }
    // Reading the file system waits for the first use: most runs never open this dialog.
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QString());
    tree_->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) {
        tree_->hideColumn(column);
    }
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                problem_->hide();
                if (!followingPath_) {
                    path_->setText(current.isValid()
                                       ? QDir::toNativeSeparators(model_->filePath(current))
                                       : QString());
                }
            });
    // Folders are read in the background: keep the current one in view as its parents fill.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (tree_->currentIndex().isValid()) {
            tree_->scrollTo(tree_->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    });
    auto* completer = new QCompleter(model_, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->popup()->setObjectName(QStringLiteral("completer"));
    path_->setCompleter(completer);
}

void Tfm_dir::fillPlaces() {
    places_->clear();
    const QStyle::StandardPixmap icons[] = {QStyle::SP_DirHomeIcon, QStyle::SP_DirIcon,
                                            QStyle::SP_DriveCDIcon};
    for (const Place& place : places()) {
        auto* item =
            new QListWidgetItem(style()->standardIcon(icons[place.kind]), place.label, places_);
        item->setData(Qt::UserRole, place.path);
        item->setToolTip(QDir::toNativeSeparators(place.path));
    }
}

void Tfm_dir::goTo(const QString& folder) {
    const QModelIndex index = model_->index(QDir::cleanPath(folder));
    if (!index.isValid()) {
        return;
    }
    tree_->setCurrentIndex(index);
    tree_->expand(index);
    tree_->scrollTo(index, QAbstractItemView::PositionAtCenter);
    if (!followingPath_) {
        path_->setText(QDir::toNativeSeparators(model_->filePath(index)));
    }
}

void Tfm_dir::pathEdited(const QString& text) {
    problem_->hide();
    const QString path = expanded(text);
    if (!QFileInfo(path).isDir()) {
        return;
    }
    // The tree shows where the typed path leads, without rewriting what is being typed.
    followingPath_ = true;
    goTo(path);
    followingPath_ = false;
}

void Tfm_dir::okClicked() {
    const QString path = expanded(path_->text());
    if (path.isEmpty()) {
        return;
    }
    const QFileInfo info(path);
    if (!info.isDir()) {
        problem_->setText(
            QStringLiteral("There is no folder \"%1\".").arg(path_->text().trimmed()));
        problem_->show();
        return;
    }
    chosenFolder_ = QDir::toNativeSeparators(QDir::cleanPath(info.absoluteFilePath()));
    accept();
}

QString Tfm_dir::choose(const QString& caption, const QString& start) {
    prepareModel();
    fillPlaces();
    setWindowTitle(caption);
    chosenFolder_.clear();
    problem_->hide();
    tree_->collapseAll();
    goTo(openingFolder(start));
    path_->setFocus();
    path_->selectAll();
    if (parentWidget() != nullptr) {
        move(parentWidget()->geometry().center() - rect().center());
    }
    // The frame's close box is a Cancel.
    return exec() == QDialog::Accepted ? chosenFolder_ : QString();
}
