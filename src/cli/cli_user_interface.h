#pragma once

#include <utility>

#include "core/shell/user_interface.h"

// The user interface of orvex-cli: messages go to standard error; nothing is ever asked,
// since the command line has already said everything (a confirmation is answered No).
class CliUserInterface : public UserInterface {
  public:
    // Messages begin with the program's name as started ("orvex-dvd-cli: ...").
    explicit CliUserInterface(QString programName) : programName_(std::move(programName)) {}
    void warning(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    void error(const QString& text) override;
    QStringList chooseFiles() override { return {}; }
    QStringList chooseIfoFiles() override { return {}; }
    QString chooseDvdImage() override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<SettingsChoices> chooseSettings(const SettingsChoices&) override {
        return std::nullopt;
    }

  private:
    void say(const QString& text) const;

    QString programName_;
};
