#pragma once

#include <QList>
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
    std::optional<int> jobs;  // jobs at once: 0 Automatic; the settings file's when not given
    bool listProfiles = false;
    bool showLists = false;
    bool listJobs = false;
    bool printCommands = false;
    bool quiet = false;
    bool stretch = false;            // fill the chosen size whatever the source's shape
    std::optional<QString> logFile;  // the activity log's file instead of a new one
    bool verbose = false;            // the activity log's lines on standard error too
    bool resume = false;             // the job list a killed run left behind
    bool help = false;
    bool version = false;
    QStringList sources;

    // The DVD edition's choices. Rows are 1-based positions as listed.
    struct StreamChoice {
        int row = 0;
        int item = 0;
        bool operator==(const StreamChoice&) const = default;
    };
    bool chapters = false;
    std::optional<QList<int>> rows;  // the rows to tick; all when not given
    QList<StreamChoice> audio;
    QList<StreamChoice> subtitle;
    bool listStreams = false;
    bool usesDvdOptions() const {
        return chapters || rows || !audio.isEmpty() || !subtitle.isEmpty() || listStreams;
    }

    // "1,3-5" -> 1, 3, 4, 5; nullopt when it is not such a list of positions from 1.
    static std::optional<QList<int>> parseRows(const QString& text);
    // "2=1" -> row 2, item 1; nullopt when malformed.
    static std::optional<StreamChoice> parseStreamChoice(const QString& text);

    // args without the program name. nullopt with *error set (one line) on a usage error.
    // "--" ends the options, so a source may begin with a dash.
    static std::optional<CliOptions> parse(const QStringList& args, QString* error);
    static QString helpText(const QString& programName);
};
