#pragma once

#include <QPointer>
#include <QWidget>

#include "core/shell/user_interface.h"

class Tfm_dir;
class Tfm_set;

// The window's answers to the core's questions: message boxes with the exact texts, the
// file-open dialog of Add Files, the folder dialog and the settings dialog.
class GuiUserInterface : public UserInterface {
  public:
    static const QString kCaption;  // the message boxes' caption

    explicit GuiUserInterface(QWidget* owner = nullptr);
    ~GuiUserInterface() override;

    void setOwner(QWidget* owner);
    void setDialogs(Tfm_dir* folders, Tfm_set* settings);

    void warning(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    void error(const QString& text) override;
    QStringList chooseFiles() override;
    QStringList chooseIfoFiles() override;
    QString chooseDvdImage() override;
    QString chooseFolder(const QString& caption, const QString& start) override;
    std::optional<SettingsChoices> chooseSettings(const SettingsChoices& current) override;

    // The Add Files dialog's filter list, in order.
    static QStringList fileFilters();

  private:
    QStringList chooseExistingFiles(const QString& caption, const QStringList& filters,
                                    bool several = true);
    QPointer<QWidget> owner_;
    Tfm_dir* folders_ = nullptr;
    Tfm_set* settings_ = nullptr;
    QString lastFolder_;
};
