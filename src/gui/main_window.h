#pragma once

#include <QLabel>
#include <QWidget>
#include <memory>

#include "core/profiles/layout_variant.h"
#include "core/shell/command_dispatch.h"
#include "core/shell/session.h"
#include "gui/skin/skin_engine.h"
#include "gui/window_messages.h"

class ChoiceCombo;
class JobListView;
class MessageLog;
class StatusLine;
class PickerView;
class PowerOffDialog;
class PreviewPanel;
class QLineEdit;
class QProgressBar;
class SkinObject;
class Tfm_about;

// Tfm_main: the skinned main window. It shows the session's objects and forwards what the user
// does to them; the commands themselves, their guards and the settings belong to the core.
class ActivityView;

class Tfm_main : public QWidget, public WindowShell {
    Q_OBJECT
  public:
    static const QString kCaption;  // "Orvex Video Converter"

    Tfm_main(Session& session, QWidget* parent = nullptr);
    ~Tfm_main() override;

    // The About box, created after the window (start-up order).
    void setAbout(Tfm_about* about) { about_ = about; }

    Session& session() { return session_; }
    CommandDispatch& dispatch() { return dispatch_; }
    SkinEngine& skin() { return skin_; }
    JobListView* lv() const { return lv_; }
    QProgressBar* ProgressBar1() const { return progress_; }
    ChoiceCombo* cb_size() const { return size_; }
    ChoiceCombo* cb_videobitrate() const { return video_; }
    ChoiceCombo* cb_audiobitrate() const { return audio_; }
    ChoiceCombo* cb_channel() const { return channel_; }
    // The DVD edition's stream boxes (hidden in the video edition).
    ChoiceCombo* cb_audio() const { return streamAudio_; }
    ChoiceCombo* cb_subtitle() const { return streamSubtitle_; }
    QLineEdit* ed_output() const { return output_; }
    PreviewPanel* pl_play() const { return play_; }
    QLabel* im_mainico() const { return icon_; }
    StatusLine* statusLine() const { return messages_->statusLine(); }
    MessageLog* messages() const { return messages_->log(); }
    SkinObject* profilesText() const { return profilesText_; }
    PickerView* picker() const { return picker_; }

    // WindowShell
    void popUpMenu(ShellMenu menu, QPoint offset) override;
    void requestClose() override { close(); }
    void showAbout() override;
    void showActivity() override;
    ActivityView* activity() const { return activity_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createControls();
    void loadSkin();
    void bindSession();
    void addShortcuts();
    void applyLayoutVariant();
    // Names for assistive tools, and the order Tab takes through the controls.
    void nameControls();
    void orderForKeyboard();
    void showCategoryPicture(int category);
    void showProblem(const QString& text);
    // A missing or damaged file of the program's own, said with how to get it back.
    QString withRestoreAdvice(const QString& text) const;
    void sayMissingPicture(const QString& path);
    // Convert and Stop show whether they can act now.
    void showCommandStates();
    // A menu item or key: the user does something else.
    void menuCommand(MenuCommand command);
    void showRowDetails(int row);
    void bindPreview();
    void startPowerOffCountdown();

    Session& session_;
    CommandDispatch dispatch_;
    SkinEngine skin_;
    LayoutVariant layout_;
    JobListView* lv_ = nullptr;
    QProgressBar* progress_ = nullptr;
    ChoiceCombo* size_ = nullptr;
    ChoiceCombo* video_ = nullptr;
    ChoiceCombo* audio_ = nullptr;
    ChoiceCombo* channel_ = nullptr;
    ChoiceCombo* streamAudio_ = nullptr;
    ChoiceCombo* streamSubtitle_ = nullptr;
    QLineEdit* output_ = nullptr;
    PreviewPanel* play_ = nullptr;
    QLabel* icon_ = nullptr;
    WindowMessages* messages_ = nullptr;
    ActivityView* activity_ = nullptr;
    PowerOffDialog* powerOff_ = nullptr;
    PickerView* picker_ = nullptr;
    Tfm_about* about_ = nullptr;
    SkinObject* profilesText_ = nullptr;
    SkinObject* playTime_ = nullptr;
    SkinObject* playBar_ = nullptr;
    SkinObject* convert_ = nullptr;
    SkinObject* stop_ = nullptr;
    bool shown_ = false;
    bool missingPictureSaid_ = false;
};
