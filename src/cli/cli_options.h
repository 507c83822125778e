#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line of orvex-cli, parsed but not yet checked against the profiles.
struct CliOptions {
    enum class Finish { Nothing, Open, Shutdown };

    std::optional<int> profile;
    std::optional<int> size;
    std::optional<int> videoQuality;
    std::optional<int> audioQuality;
    std::optional<int> channels;
    std::optional<QString> output;
    Finish finish = Finish::Nothing;
    bool listProfiles = false;
    bool showLists = false;
    bool listJobs = false;
    bool printCommands = false;
    bool quiet = false;
    bool help = false;
    bool version = false;
    QStringList sources;

    // args without the program name. nullopt with *error set (one line) on a usage error.
    // "--" ends the options, so a source may begin with a dash.
    static std::optional<CliOptions> parse(const QStringList& args, QString* error);
    static QString helpText(const QString& programName);
};
