#include "gui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

#include "gui/about_dialog.h"
#include "gui/activity_view.h"
#include "gui/choice_combo.h"
#include "gui/job_list_view.h"
#include "gui/message_log.h"
#include "gui/picker_view.h"
#include "gui/power_off_dialog.h"
#include "gui/preview_panel.h"
#include "gui/skin/skin_object.h"
#include "gui/skin/skin_window.h"
#include "gui/status_line.h"
#include "gui/tab_order.h"
#include "gui/window_focus.h"
#include "gui/window_messages.h"

const QString Tfm_main::kCaption = QStringLiteral("Orvex Video Converter");

namespace {

// Default places of the plain controls; the layout variant moves them when the window shows.
const QRect kListRect(12, 89, 535, 356);
// The status line ends short of the Stop button.
const QRect kStatusRect(16, 516, 500, 34);

// Reports clicks on a plain label.
class ClickFilter : public QObject {
  public:
    ClickFilter(QObject* parent, std::function<void()> onClick)
        : QObject(parent), onClick_(std::move(onClick)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease) {
            onClick_();
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> onClick_;
};

QString stateWords(const RowState& state) {
    switch (state.kind) {
        case RowState::Failed:
            return QStringLiteral("Failed: ") + state.reason;
        case RowState::Finished:
            return QStringLiteral("Finished");
        case RowState::Stopped:
            return QStringLiteral("Stopped");
        case RowState::Running:
            return QStringLiteral("Converting, ") + percentText(state.progress);
        default:
            return QStringLiteral("Not converted yet");
    }
}

}  // namespace

Tfm_main::Tfm_main(Session& session, QWidget* parent)
    : QWidget(parent),
      session_(session),
      dispatch_(session, *this),
      layout_(layoutVariantOf(session.isDvdEdition(), session.isKamzuBrand())) {
    setWindowTitle(kCaption);
    setAcceptDrops(true);
    loadSkin();
    createControls();
    bindSession();
    bindPreview();
    addShortcuts();
    nameControls();
    session_.picker().hidePicker();
}

Tfm_main::~Tfm_main() = default;

void Tfm_main::loadSkin() {
    skin_.loadSkinFile(session_.folders().data + QStringLiteral("skn.skn"));
    skin_.applySkin(this);
    skin_.applyForm(this, SkinEngine::kMainForm,
                    SkinEngine::variantKey(session_.isDvdEdition(), session_.isKamzuBrand()));
    profilesText_ = SkinEngine::findObject(this, QStringLiteral("profilestext"));
    playTime_ = SkinEngine::findObject(this, QStringLiteral("play_time"));
    playBar_ = SkinEngine::findObject(this, QStringLiteral("play_bar"));
    convert_ = SkinEngine::findObject(this, QStringLiteral("converter"));
    stop_ = SkinEngine::findObject(this, QStringLiteral("stopconverter"));
    connect(&skin_, &SkinEngine::objectClicked, this, [this](SkinObject* object) {
        messages_->userActed();
        dispatch_.skinClick(object->name());
    });
    // A press anywhere on the skin closes the picker first.
    connect(&skin_, &SkinEngine::objectPressed, this,
            [this](SkinObject* object, Qt::MouseButton, QPoint) {
                session_.picker().hidePicker();
                session_.preview().pressOn(object->name());
            });
    connect(&skin_, &SkinEngine::objectReleased, this,
            [this](SkinObject* object, Qt::MouseButton, QPoint) {
                session_.preview().releaseOn(object->name());
            });
    connect(&skin_, &SkinEngine::backgroundPressed, this,
            [this](Qt::MouseButton, QPoint) { session_.picker().hidePicker(); });
}

void Tfm_main::createControls() {
    ProfileSelection& selection = session_.selection();
    lv_ = new JobListView(session_.jobs(), this);
    lv_->setGeometry(kListRect);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, SkinBar::kMaxPosition);
    progress_->setTextVisible(false);
    progress_->setGeometry(15, 496, 722, 12);
    size_ = new ChoiceCombo(selection.sizeList(), this);
    video_ = new ChoiceCombo(selection.videoList(), this);
    audio_ = new ChoiceCombo(selection.audioList(), this);
    channel_ = new ChoiceCombo(selection.channelList(), this);
    streamAudio_ = new ChoiceCombo(session_.dvdTitles().audioBox(), this);
    streamAudio_->setObjectName(QStringLiteral("cb_audio"));
    streamAudio_->setDescription(QStringLiteral("Audio track of the selected title"));
    streamSubtitle_ = new ChoiceCombo(session_.dvdTitles().subtitleBox(), this);
    streamSubtitle_->setObjectName(QStringLiteral("cb_subtitle"));
    streamSubtitle_->setDescription(
        QStringLiteral("Subtitle of the selected title, burnt into the picture"));
    output_ = new QLineEdit(this);
    output_->setFrame(false);
    output_->setGeometry(422, 66, 187, 14);
    play_ = new PreviewPanel(this);
    play_->setGeometry(559, 294, 176, 137);
    icon_ = new QLabel(this);
    icon_->setGeometry(62, 64, 16, 16);
    icon_->setCursor(Qt::PointingHandCursor);
    icon_->setToolTip(QStringLiteral("Choose a profile"));
    icon_->installEventFilter(new ClickFilter(
        icon_, [this] { session_.picker().openPicker(session_.selection().previousProfile()); }));
    messages_ = new WindowMessages(session_, this);
    StatusLine* status = messages_->statusLine();
    status->setGeometry(session_.isKamzuBrand() ? kStatusRect.adjusted(0, 4, 0, 2) : kStatusRect);
    status->setHint(session_.isDvdEdition()
                        ? QStringLiteral("Add a DVD, tick the titles, then press Convert.")
                        : QStringLiteral("Add videos, choose a profile, then press Convert."));
    activity_ = new ActivityView(session_.activityLog(), session_.machine(), this);
    connect(status, &StatusLine::activityRequested, this, &Tfm_main::showActivity);
    powerOff_ = new PowerOffDialog(this);
    takeKeysBackAfter(powerOff_, this);
    takeKeysBackAfter(messages(), this);
    takeKeysBackAfter(activity_, this);
    // Last, so its panels lie over every other control.
    picker_ = new PickerView(session_.picker(), session_.folders().data, this);
}

void Tfm_main::bindSession() {
    ProfileSelection& selection = session_.selection();
    ConversionQueue& queue = session_.queue();
    connect(&selection, &ProfileSelection::displayNameShown, this, [this](const QString& name) {
        if (profilesText_ != nullptr) {
            profilesText_->setText(name);
            profilesText_->redraw();
        }
    });
    connect(&selection, &ProfileSelection::categoryPictureShown, this,
            &Tfm_main::showCategoryPicture);
    connect(&queue, &ConversionQueue::convertingChanged, this, [this](bool converting) {
        progress_->setVisible(converting);
        showCommandStates();
    });
    // What Convert and Stop can do now shows on them.
    connect(&session_.jobs(), &JobList::rowsInserted, this, &Tfm_main::showCommandStates);
    connect(&session_.jobs(), &JobList::listReset, this, &Tfm_main::showCommandStates);
    connect(&session_.files(), &FileSources::busyChanged, this, &Tfm_main::showCommandStates);
    connect(&session_.dvdDiscovery(), &DvdDiscovery::busyChanged, this,
            &Tfm_main::showCommandStates);
    showCommandStates();
    connect(&session_.progress(), &ProgressMonitor::progressShown, this,
            [this](int value) { progress_->setValue(qBound(0, value, SkinBar::kMaxPosition)); });
    connect(&session_.jobs(), &JobList::visibilityChanged, lv_, &QWidget::setVisible);
    output_->setText(queue.outputText());
    connect(&queue, &ConversionQueue::outputTextChanged, this, [this](const QString& text) {
        if (output_->text() != text) {
            output_->setText(text);
        }
    });
    connect(output_, &QLineEdit::textEdited, &queue, &ConversionQueue::setOutputText);
    connect(&queue, &ConversionQueue::powerOffDue, this, &Tfm_main::startPowerOffCountdown);
    connect(lv_, &JobListView::pressedInList, this, [this] { session_.picker().hidePicker(); });
    connect(lv_, &JobListView::deletePressed, this, [this] { menuCommand(MenuCommand::Remove); });
    if (session_.isDvdEdition()) {
        DvdTitles& titles = session_.dvdTitles();
        connect(lv_, &QAbstractItemView::clicked, &titles, &DvdTitles::lvClick);
        // Arrow keys move the selection too: the stream boxes must show the row they change.
        connect(&session_.jobs(), &JobList::selectionChanged, &titles, &DvdTitles::lvClick);
    }
    connect(lv_, &JobListView::rowActivated, this, &Tfm_main::showRowDetails);
    connect(powerOff_, &QDialog::accepted, this, [this] { session_.machine().powerOff(); });
    connect(picker_, &PickerView::pictureMissing, this, &Tfm_main::sayMissingPicture);
    connect(&session_.picker(), &ProfilePicker::changed, this,
            [this] { play_->setVisible(session_.picker().playPanelVisible()); });
}

void Tfm_main::bindPreview() {
    Preview& preview = session_.preview();
    preview.setSkinObjects(playTime_, playBar_);
    preview.setPanel(play_->surfaceHandle(), play_->width(), play_->height());
}

void Tfm_main::addShortcuts() {
    const bool dvd = session_.isDvdEdition();
    const std::pair<QKeySequence, MenuCommand> keys[] = {
        {QKeySequence::Open, dvd ? MenuCommand::AddDvd : MenuCommand::AddFiles},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O),
         dvd ? MenuCommand::AddIfo : MenuCommand::AddFolder},
        {QKeySequence(Qt::Key_F5), MenuCommand::Convert},
        {QKeySequence(Qt::SHIFT | Qt::Key_F5), MenuCommand::Stop},
        {QKeySequence::Quit, MenuCommand::Exit},
    };
    for (const auto& [sequence, command] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, [this, command] { menuCommand(command); });
    }
}

void Tfm_main::applyLayoutVariant() {
    struct Control {
        const char* name;
        QWidget* widget;
    };
    const Control controls[] = {{"ed_output", output_},
                                {"Panel1", icon_},
                                {"cb_size", size_},
                                {"cb_videobitrate", video_},
                                {"cb_audiobitrate", audio_},
                                {"cb_channel", channel_},
                                {"pl_play", play_},
                                {"ProgressBar1", progress_},
                                {"lv", lv_},
                                {"cb_audio", streamAudio_},
                                {"cb_subtitle", streamSubtitle_}};
    for (const Control& c : controls) {
        const QRect rect = layout_.rectOf(QLatin1String(c.name));
        if (!rect.isNull()) {
            c.widget->setGeometry(rect);
        }
    }
    streamAudio_->setVisible(layout_.isVisible(QStringLiteral("cb_audio")));
    streamSubtitle_->setVisible(layout_.isVisible(QStringLiteral("cb_subtitle")));
    lv_->jobModel()->setFirstColumnCaption(layout_.firstColumnCaption);
    lv_->jobModel()->setCheckBoxes(layout_.checkBoxes);
}

void Tfm_main::nameControls() {
    const struct {
        QWidget* widget;
        const char* objectName;
        const char* name;
    } names[] = {{lv_, "lv", session_.isDvdEdition() ? "Titles" : "Files to convert"},
                 {progress_, "ProgressBar1", "Progress"},
                 {size_, "cb_size", "Picture size"},
                 {video_, "cb_videobitrate", "Video quality"},
                 {audio_, "cb_audiobitrate", "Audio quality"},
                 {channel_, "cb_channel", "Channels"},
                 {streamAudio_, "cb_audio", "Audio track"},
                 {streamSubtitle_, "cb_subtitle", "Subtitle"},
                 {output_, "ed_output", "Output folder"},
                 {play_, "pl_play", "Preview"},
                 {icon_, "im_mainico", "Choose a profile"}};
    for (const auto& n : names) {
        n.widget->setObjectName(QLatin1String(n.objectName));
        n.widget->setAccessibleName(QLatin1String(n.name));
    }
}

void Tfm_main::orderForKeyboard() {
    const auto skin = [this](const char* name) -> QWidget* {
        return SkinEngine::findObject(this, QLatin1String(name));
    };
    // Reading order: the title bar's buttons and the menus; the left column's groups where
    // the layout puts them; the quality boxes and the preview on the right; Stop and Convert.
    tab_order::arrange(
        this,
        {skin("minimize"), skin("close"), skin("file"), skin("dvdfile"), skin("settings"),
         skin("help")},
        {{skin("profiles")},
         {streamAudio_, streamSubtitle_},
         {output_, skin("browse"), skin("open")},
         {lv_},
         {skin("openfiles"), skin("openfolder"), skin("dvdopen"), skin("ifoopen"), skin("chapter"),
          skin("remove"), skin("clear")}},
        {size_, video_, audio_, channel_, skin("play"), skin("pause"), skin("stopplay"),
         skin("play_bar"), static_cast<QWidget*>(messages_->statusLine()->badge()),
         skin("stopconverter"), skin("converter")});
}

void Tfm_main::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (shown_) {
        return;
    }
    shown_ = true;
    applyLayoutVariant();
    orderForKeyboard();
    // No control holds the keyboard until Tab gives it one; the window's keys work meanwhile.
    setFocus(Qt::ActiveWindowFocusReason);
    bindPreview();  // the variant may have moved and sized pl_play
    session_.picker().applyLayoutVariant(layout_);
    session_.picker().restoreAllEntries();
    QString error;
    const bool selected = session_.loadSettings(std::nullopt, &error);
    lv_->hide();
    progress_->hide();
    if (!skin_.problem().isEmpty()) {
        showProblem(withRestoreAdvice(skin_.problem()));
    }
    for (const QString& problem : session_.unreadableSettings()) {
        showProblem(problem);
    }
    if (selected) {
        // Once the window can be seen: the list is kept from now on, and what a run that did
        // not end normally left unconverted is offered back.
        QTimer::singleShot(0, this, [this] {
            session_.savedJobs().keep();
            session_.savedJobs().offerLeftBehind(session_.ui());
        });
    }
    if (!selected) {
        // The general error report, once the window can be seen behind it.
        QTimer::singleShot(0, this, [this, error = withRestoreAdvice(error)] {
            showProblem(error);
            session_.ui().error(error);
        });
    }
}

void Tfm_main::closeEvent(QCloseEvent* event) {
    if (dispatch_.closeRequest()) {
        powerOff_->reject();
        event->accept();
    } else {
        event->ignore();
    }
}

void Tfm_main::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void Tfm_main::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    if (!paths.isEmpty() && !session_.isDvdEdition()) {
        event->acceptProposedAction();
        messages_->userActed();
        session_.files().addPaths(paths);
    }
}

void Tfm_main::popUpMenu(ShellMenu menu, QPoint offset) {
    QMenu popup(this);
    for (const MenuItem& item : shell_menus::itemsOf(menu)) {
        if (item.command == MenuCommand::None) {
            popup.addSeparator();
            continue;
        }
        const MenuCommand command = item.command;
        popup.addAction(item.caption, this, [this, command] { menuCommand(command); });
    }
    popup.exec(mapToGlobal(offset));
}

void Tfm_main::showAbout() {
    if (about_ != nullptr) {
        about_->showAbout();
        takeKeysBack(this);
    }
}

void Tfm_main::showActivity() {
    activity_->showLog();
}

void Tfm_main::showCategoryPicture(int category) {
    const QString path =
        session_.folders().data + QStringLiteral("images/main/%1.bmp").arg(category);
    QPixmap picture(path);
    if (picture.isNull()) {
        sayMissingPicture(QDir::toNativeSeparators(path));
        picture = QPixmap(16, 16);
        picture.fill(palette().color(QPalette::Mid));
    }
    icon_->setPixmap(picture);
}

void Tfm_main::sayMissingPicture(const QString& path) {
    // One missing picture usually means the whole folder: said once, whichever is first.
    if (!missingPictureSaid_) {
        missingPictureSaid_ = true;
        showProblem(withRestoreAdvice(QStringLiteral("The picture %1 is missing.").arg(path)));
    }
}

QString Tfm_main::withRestoreAdvice(const QString& text) const {
    const QString advice = session_.folders().restoreAdvice();
    return advice.isEmpty() ? text : text + QLatin1Char(' ') + advice;
}

void Tfm_main::showProblem(const QString& text) {
    messages_->problem(text);
}

void Tfm_main::showCommandStates() {
    if (convert_ != nullptr) {
        convert_->setEnabled(session_.queue().canConvert());
    }
    if (stop_ != nullptr) {
        stop_->setEnabled(session_.queue().converting());
    }
}

void Tfm_main::menuCommand(MenuCommand command) {
    messages_->userActed();
    dispatch_.menuCommand(command);
    // Keys and menus still reach a Convert that has nothing to do: say why nothing happens.
    if (command == MenuCommand::Convert && session_.jobs().isEmpty()) {
        messages_->statusLine()->say(session_.isDvdEdition()
                                         ? QStringLiteral("Nothing to convert: add a DVD first.")
                                         : QStringLiteral("Nothing to convert: add videos first."));
    }
}

void Tfm_main::showRowDetails(int row) {
    const JobList& jobs = session_.jobs();
    if (!jobs.isRow(row)) {
        return;
    }
    const RowState& state = jobs.state(row);
    auto* box =
        new QMessageBox(QMessageBox::Information, kCaption,
                        jobs.caption(row).trimmed() + QStringLiteral(": ") + stateWords(state),
                        QMessageBox::Close, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QString details =
        QStringLiteral("Source: %1\n").arg(QDir::toNativeSeparators(jobs.jobInfo(row).source));
    if (!state.outputName.isEmpty()) {
        details += QStringLiteral("Output: %1\n").arg(QDir::toNativeSeparators(state.outputName));
    }
    if (!state.outputTail.isEmpty()) {
        details += QStringLiteral("\nThe encoder's last lines:\n") +
                   state.outputTail.join(QLatin1Char('\n'));
    }
    if (state.kind == RowState::Failed && session_.activityLog().fileProblem().isEmpty()) {
        details += QStringLiteral("\nThe activity log tells more: %1\n")
                       .arg(QDir::toNativeSeparators(session_.activityLog().path()));
    }
    box->setDetailedText(details);
    box->setModal(false);
    takeKeysBackAfter(box, this);
    box->show();
}

void Tfm_main::startPowerOffCountdown() {
    powerOff_->start();
}
