#pragma once

#include "core/shell/user_interface.h"

// The user interface of orvex-cli: messages go to standard error; nothing is ever asked,
// since the command line has already said everything (a confirmation is answered No).
class CliUserInterface : public UserInterface {
  public:
    void warning(const QString& text) override;
    void information(const QString& text) override;
    bool confirm(const QString& text) override;
    void error(const QString& text) override;
    QStringList chooseFiles() override { return {}; }
    QStringList chooseIfoFiles() override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    std::optional<SettingsChoices> chooseSettings(const SettingsChoices&) override {
        return std::nullopt;
    }
};
