#pragma once

#include <QString>
#include <QStringList>

#include "core/shell/user_interface.h"

namespace orvex::test {

// Records every message; answers from a script set up by the test.
class FakeUserInterface : public UserInterface {
  public:
    void warning(const QString& text) override { warnings << text; }
    void information(const QString& text) override { informations << text; }
    bool confirm(const QString& text) override {
        confirmations << text;
        return confirmAnswer;
    }
    void error(const QString& text) override { errors << text; }
    QStringList chooseFiles() override { return filesToChoose; }
    QStringList chooseIfoFiles() override { return ifoFilesToChoose; }
    QString chooseDvdImage() override { return dvdImageToChoose; }
    QString chooseFolder(const QString& caption, const QString& start) override {
        folderCaptions << caption;
        folderStarts << start;
        return folderToChoose;
    }

    std::optional<SettingsChoices> chooseSettings(const SettingsChoices& current) override {
        shownSettings << current;
        return settingsToChoose;
    }

    QStringList warnings, informations, confirmations, errors, folderCaptions, folderStarts;
    QList<SettingsChoices> shownSettings;
    std::optional<SettingsChoices> settingsToChoose;
    bool confirmAnswer = true;
    QStringList filesToChoose;
    QStringList ifoFilesToChoose;
    QString folderToChoose;
    QString dvdImageToChoose;
};

}  // namespace orvex::test
