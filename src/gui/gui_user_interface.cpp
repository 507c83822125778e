#include "gui/gui_user_interface.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QSplitter>
#include <QTreeView>
#include <QUrl>

#include "gui/dir_dialog.h"
#include "gui/settings_dialog.h"
#include "gui/window_focus.h"

const QString GuiUserInterface::kCaption = QStringLiteral("Orvex Video Converter");

namespace {

// The message texts join their lines with a carriage return.
QString lines(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

// Gives the keyboard back to the owner once the dialog of a question has closed.
class KeysBack {
  public:
    explicit KeysBack(QWidget* owner) : owner_(owner) {}
    ~KeysBack() { takeKeysBack(owner_); }
    KeysBack(const KeysBack&) = delete;
    KeysBack& operator=(const KeysBack&) = delete;

  private:
    QPointer<QWidget> owner_;
};

}  // namespace

GuiUserInterface::GuiUserInterface(QWidget* owner) : owner_(owner) {}

GuiUserInterface::~GuiUserInterface() = default;

void GuiUserInterface::setOwner(QWidget* owner) {
    owner_ = owner;
}

void GuiUserInterface::setDialogs(Tfm_dir* folders, Tfm_set* settings) {
    folders_ = folders;
    settings_ = settings;
}

void GuiUserInterface::warning(const QString& text) {
    const KeysBack keysBack(owner_);
    QMessageBox::warning(owner_, kCaption, lines(text), QMessageBox::Ok);
}

void GuiUserInterface::information(const QString& text) {
    const KeysBack keysBack(owner_);
    QMessageBox::information(owner_, kCaption, lines(text), QMessageBox::Ok);
}

bool GuiUserInterface::confirm(const QString& text) {
    const KeysBack keysBack(owner_);
    return QMessageBox::question(owner_, kCaption, lines(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void GuiUserInterface::error(const QString& text) {
    const KeysBack keysBack(owner_);
    QMessageBox::critical(owner_, kCaption, lines(text), QMessageBox::Ok);
}

QStringList GuiUserInterface::fileFilters() {
    // Entry text, then the patterns it applies; Qt reads the patterns from the last
    // parentheses, so entries whose text has parentheses of its own keep them.
    const char* entries[][2] = {
        {"All Support Format",
         "*.avi;*.mpg;*.mpeg;*.wmv;*.asf;*.asx;*.mov;*.dat;*.qt;*.vob;*.3gp;*.3g2;*.mp4;*.m4v;"
         "*.rm;*.rmvb;*.ram;*.mkv;*.flv;*.mjpg;*.mjpeg;*.ts;*.m2ts;*.h264;*.xwmv;*.yuv;"},
        {"WMV Format(*.wmv;*.asf;*.asx;)", "*.wmv;*.asf;*.asx;"},
        {"MPEG Format(*.mpg;*.mpeg;)", "*.mpg;*.mpeg;"},
        {"AVI Format(*.avi;)", "*.avi;"},
        {"Quick Time Format(*.qt;*.mov;)", "*.qt;*.mov;"},
        {"VCD Format(*.dat;)", "*.dat;"},
        {"MP4 Format(*.mp4;*.m4v;*.m4a)", "*.mp4;*.m4v;*m4a;"},
        {"DVD Format(*.vob)", "*.vob;"},
        {"3GP Format(*.3gp)", "*.3gp;"},
        {"RM Format(*.rm;*.rmvb;*.ram;)", "*.rm;*.rmvb;*.ram;"},
        {"FLV Format(*.flv;)", "*.flv;"},
        {"All File(*.*)", "*.*;"},
    };
    QStringList filters;
    for (const auto& entry : entries) {
        QStringList patterns =
            QString::fromLatin1(entry[1]).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        filters << QString::fromLatin1(entry[0]) + QStringLiteral(" (") +
                       patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters;
}

QStringList GuiUserInterface::chooseFiles() {
    return chooseExistingFiles(QStringLiteral("Add Files"), fileFilters());
}

QStringList GuiUserInterface::chooseIfoFiles() {
    // The entry text carries its own parentheses; Qt takes the patterns from the last ones.
    return chooseExistingFiles(QStringLiteral("Add IFO"),
                               {QStringLiteral("IFO Files(*.ifo) (*.ifo *.IFO)")});
}

QString GuiUserInterface::chooseDvdImage() {
    const QStringList chosen =
        chooseExistingFiles(QStringLiteral("Add DVD image"),
                            {QStringLiteral("DVD images (*.iso) (*.iso *.ISO)")}, false);
    return chosen.isEmpty() ? QString() : chosen.first();
}

QStringList GuiUserInterface::chooseExistingFiles(const QString& caption,
                                                  const QStringList& filters, bool several) {
    const KeysBack keysBack(owner_);
    QFileDialog dialog(owner_, caption, lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_);
    // Qt's own dialog on every desktop: it wears the program's look and the folder dialog's
    // places.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QList<QUrl> places;
    for (const Tfm_dir::Place& place : Tfm_dir::places()) {
        places << QUrl::fromLocalFile(place.path);
    }
    dialog.setSidebarUrls(places);
    dialog.setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilters(filters);
    // The box shows each entry's own text; the patterns Qt adds would not fit it.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setFilter(dialog.filter() | QDir::Hidden);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
    // Qt's first size cuts the places' names and the dates: room for both, within the window.
    dialog.resize(740, 470);
    if (auto* split = dialog.findChild<QSplitter*>(QStringLiteral("splitter"))) {
        split->setSizes({170, 570});
    }
    if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        // Name, size, type and date, each whole in the first size.
        const int widths[] = {215, 85, 95, 140};
        for (int column = 0; column < 4; ++column) {
            files->header()->resizeSection(column, widths[column]);
        }
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    if (!chosen.isEmpty()) {
        lastFolder_ = QFileInfo(chosen.first()).absolutePath();
    }
    return chosen;
}

QString GuiUserInterface::chooseFolder(const QString& caption, const QString& start) {
    const KeysBack keysBack(owner_);
    // Sources are looked for where the last ones came from; the output folder where it is.
    const QString from = start.isEmpty() ? lastFolder_ : start;
    if (folders_ == nullptr) {
        return QFileDialog::getExistingDirectory(owner_, caption, from);
    }
    const QString folder = folders_->choose(caption, from);
    if (!folder.isEmpty() && start.isEmpty()) {
        lastFolder_ = folder;
    }
    return folder;
}

std::optional<SettingsChoices> GuiUserInterface::chooseSettings(const SettingsChoices& current) {
    const KeysBack keysBack(owner_);
    if (settings_ == nullptr) {
        return std::nullopt;
    }
    return settings_->choose(current);
}
