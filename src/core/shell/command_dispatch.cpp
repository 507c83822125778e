#include "core/shell/command_dispatch.h"

#include "core/shell/help_links.h"

const QString CommandDispatch::kStopConvertingText =
    QStringLiteral("Please first stop converting!");

CommandDispatch::CommandDispatch(Session& session, WindowShell& window)
    : session_(session), window_(window) {
    FileSources& files = session.files();
    ConversionQueue& queue = session.queue();
    Preview& preview = session.preview();
    commands_ = {
        {QStringLiteral("profiles"), [this] { openPicker(); }},
        {QStringLiteral("openfiles"), [&files] { files.openFiles(); }},
        {QStringLiteral("chapter"), [&session] { session.dvdTitles().switchView(); }},
        {QStringLiteral("ifoopen"), [this] { addIfo(); }},
        {QStringLiteral("dvdopen"), [this] { addDvd(); }},
        {QStringLiteral("openfolder"), [&files] { files.openFolder(); }},
        {QStringLiteral("converter"), [&queue] { queue.convert(); }},
        {QStringLiteral("remove"), [this] { remove(); }},
        {QStringLiteral("clear"), [this] { clear(); }},
        {QStringLiteral("stopconverter"), [&queue] { queue.stop(); }},
        {QStringLiteral("browse"), [this] { browse(); }},
        {QStringLiteral("open"), [this] { openOutputFolder(); }},
        {QStringLiteral("help"), [this] { popUp(ShellMenu::Help); }},
        {QStringLiteral("file"), [this] { popUp(ShellMenu::File); }},
        {QStringLiteral("dvdfile"), [this] { popUp(ShellMenu::Dvd); }},
        {QStringLiteral("play"), [&preview] { preview.play(); }},
        {QStringLiteral("stopplay"), [&preview] { preview.stopPlay(); }},
        {QStringLiteral("pause"), [&preview] { preview.pauseToggle(); }},
        {QStringLiteral("settings"), [this] { showSettings(); }},
    };
}

QStringList CommandDispatch::skinCommandNames() const {
    QStringList names;
    for (const SkinCommand& command : commands_) {
        names << command.name;
    }
    return names;
}

bool CommandDispatch::skinClick(const QString& name) {
    for (const SkinCommand& command : commands_) {
        if (command.name == name) {  // exact and case-sensitive
            command.action();
            return true;
        }
    }
    return false;
}

void CommandDispatch::menuCommand(MenuCommand command) {
    const QString& program = session_.programFileName();
    switch (command) {
        case MenuCommand::None:
            break;
        case MenuCommand::AddFiles:
            session_.files().openFiles();
            break;
        case MenuCommand::AddFolder:
            session_.files().openFolder();
            break;
        case MenuCommand::Remove:
            remove();
            break;
        case MenuCommand::Clear:
            clear();
            break;
        case MenuCommand::Convert:
            session_.queue().convert();
            break;
        case MenuCommand::Stop:
            session_.queue().stop();
            break;
        case MenuCommand::Exit:
            window_.requestClose();
            break;
        case MenuCommand::AddDvd:
            addDvd();
            break;
        case MenuCommand::AddDvdImage:
            session_.dvdDiscovery().openDvdImage();
            break;
        case MenuCommand::AddIfo:
            addIfo();
            break;
        case MenuCommand::SelectAll:
            session_.dvdTitles().setAllChecked(true);
            break;
        case MenuCommand::UnselectAll:
            session_.dvdTitles().setAllChecked(false);
            break;
        case MenuCommand::Help:
        case MenuCommand::Website:
            session_.machine().openAddress(help_links::siteOf(program));
            break;
        case MenuCommand::Support:
        case MenuCommand::Contact:
            session_.machine().openAddress(help_links::contactPageOf(program));
            break;
        case MenuCommand::About:
            window_.showAbout();
            break;
        case MenuCommand::Activity:
            window_.showActivity();
            break;
    }
}

bool CommandDispatch::closeRequest() {
    CommandGuards& guards = session_.guards();
    if (guards.playing()) {
        session_.ui().information(CommandGuards::kStopPlayText);
        return false;
    }
    if (guards.converting()) {
        session_.ui().information(kStopConvertingText);
        return false;
    }
    session_.files().cancel();
    if (!session_.saveSettings()) {
        session_.ui().error(QStringLiteral("The settings could not be saved in %1.")
                                .arg(session_.settings().file().path()));
    }
    return true;
}

void CommandDispatch::browse() {
    // The dialog opens at the folder the window shows.
    const QString folder = session_.ui().chooseFolder(QStringLiteral("Output Directory"),
                                                      session_.queue().outputText());
    if (folder.isEmpty()) {
        return;
    }
    session_.queue().setOutputFolder(folder);
    session_.queue().setOutputText(folder);
}

void CommandDispatch::openOutputFolder() {
    session_.machine().openFolder(session_.queue().outputFolder());
}

void CommandDispatch::showSettings() {
    ConversionQueue& queue = session_.queue();
    const std::optional<SettingsChoices> chosen =
        session_.ui().chooseSettings({queue.finishAction(), queue.stretch(), queue.jobsAtOnce()});
    if (chosen) {
        queue.setFinishAction(chosen->finishAction);
        queue.setStretch(chosen->stretch);
        queue.setJobsAtOnce(chosen->jobsAtOnce);
    }
}

void CommandDispatch::popUp(ShellMenu menu) {
    window_.popUpMenu(menu, shell_menus::offsetOf(menu, session_.isKamzuBrand()));
}

void CommandDispatch::openPicker() {
    session_.picker().openPicker(session_.selection().previousProfile());
}

void CommandDispatch::addDvd() {
    session_.dvdDiscovery().openDvd();
}

void CommandDispatch::addIfo() {
    session_.dvdTitles().openIfo();
}

void CommandDispatch::remove() {
    // In the DVD edition the title set ranges and check marks go with the rows.
    if (session_.isDvdEdition()) {
        session_.dvdTitles().remove();
    } else {
        session_.files().remove();
    }
}

void CommandDispatch::clear() {
    if (session_.isDvdEdition()) {
        session_.dvdTitles().clear();
    } else {
        session_.files().clear();
    }
}
