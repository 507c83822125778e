#include "cli/cli_options.h"

#include "core/engine/whole_number.h"

namespace {

// An item index or profile number as typed.
std::optional<int> indexValue(const QString& text) {
    const std::optional<qint64> value = wholeNumber(text, 999'999'999);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

}  // namespace

std::optional<CliOptions> CliOptions::parse(const QStringList& args, QString* error) {
    CliOptions o;
    auto fail = [error](const QString& text) {
        if (error != nullptr) {
            *error = text;
        }
        return std::nullopt;
    };
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            o.sources << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        // Split "--name=value" and "-p118".
        QString name = arg;
        std::optional<QString> attached;
        if (arg.startsWith(QLatin1String("--"))) {
            const qsizetype eq = arg.indexOf(QLatin1Char('='));
            if (eq > 0) {
                name = arg.left(eq);
                attached = arg.mid(eq + 1);
            }
        } else if (arg.size() > 2) {
            name = arg.left(2);
            attached = arg.mid(2);
        }
        auto value = [&]() -> std::optional<QString> {
            if (attached) {
                return attached;
            }
            if (i + 1 < args.size()) {
                return args.at(++i);
            }
            return std::nullopt;
        };
        auto flag = [&](bool& target) -> bool {
            if (attached) {
                return false;
            }
            target = true;
            return true;
        };
        auto number = [&](std::optional<int>& target) -> std::optional<QString> {
            const std::optional<QString> v = value();
            if (!v) {
                return QStringLiteral("option %1 needs a number").arg(name);
            }
            target = indexValue(*v);
            if (!target) {
                return QStringLiteral("option %1 needs a number, not '%2'").arg(name, *v);
            }
            return std::nullopt;
        };

        std::optional<QString> problem;
        if (name == QLatin1String("-p") || name == QLatin1String("--profile")) {
            problem = number(o.profile);
        } else if (name == QLatin1String("--size")) {
            problem = number(o.size);
        } else if (name == QLatin1String("--video-quality")) {
            problem = number(o.videoQuality);
        } else if (name == QLatin1String("--audio-quality")) {
            problem = number(o.audioQuality);
        } else if (name == QLatin1String("--channels")) {
            problem = number(o.channels);
        } else if (name == QLatin1String("-o") || name == QLatin1String("--output")) {
            o.output = value();
            if (!o.output || o.output->isEmpty()) {
                problem = QStringLiteral("option %1 needs a folder").arg(name);
            }
        } else if (name == QLatin1String("--finish")) {
            const std::optional<QString> v = value();
            if (v == QLatin1String("nothing")) {
                o.finish = Finish::Nothing;
            } else if (v == QLatin1String("open")) {
                o.finish = Finish::Open;
            } else if (v == QLatin1String("shutdown")) {
                o.finish = Finish::Shutdown;
            } else {
                problem = QStringLiteral("--finish takes nothing, open or shutdown");
            }
        } else if (name == QLatin1String("--list-profiles")) {
            problem = flag(o.listProfiles) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--show-lists")) {
            problem = flag(o.showLists) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--list-jobs")) {
            problem = flag(o.listJobs) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--print-commands")) {
            problem = flag(o.printCommands) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("-q") || name == QLatin1String("--quiet")) {
            problem = flag(o.quiet) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("-h") || name == QLatin1String("--help")) {
            problem = flag(o.help) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--version")) {
            problem = flag(o.version) ? std::nullopt : std::optional(arg);
        } else {
            return fail(QStringLiteral("unknown option '%1'").arg(arg));
        }
        if (problem) {
            if (*problem == arg) {
                return fail(QStringLiteral("option '%1' takes no value").arg(name));
            }
            return fail(*problem);
        }
    }
    return o;
}

QString CliOptions::helpText(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [OPTIONS] SOURCE...\n"
               "Converts video files with the encoder front end, one after another.\n"
               "\n"
               "  SOURCE                  a file (added as Add Files adds it) or a folder (added "
               "as\n"
               "                          Add Folder adds it); put -- before sources that begin "
               "with -\n"
               "  -p, --profile N         profile number; default: the saved profile of the "
               "settings\n"
               "                          file, else the name default\n"
               "      --size I            item index in the size list           } default: the "
               "profile's\n"
               "      --video-quality I   item index in the video quality list  } stored choice, "
               "else\n"
               "      --audio-quality I   item index in the audio quality list  } its default\n"
               "      --channels I        item index in the channel list (0 Mono, 1 Stereo)\n"
               "  -o, --output DIR        output folder; default: the settings file's output "
               "folder\n"
               "      --finish ACTION     nothing (default) | open | shutdown (shutdown only after "
               "a\n"
               "                          30-second countdown on standard error that Ctrl-C "
               "cancels)\n"
               "      --list-profiles     print number TAB display name TAB extension per profile\n"
               "      --show-lists        print the profile and its size, video bitrate, audio "
               "bitrate\n"
               "                          and Channel lists (key TAB enabled|disabled TAB index "
               "TAB\n"
               "                          entries joined by |)\n"
               "      --list-jobs         add the sources and print their rows without converting\n"
               "      --print-commands    add the sources and print each job's encoder command "
               "line\n"
               "  -q, --quiet             no progress display\n"
               "  -h, --help              this text\n"
               "      --version           the version\n"
               "\n"
               "Exit status: 0 every job finished; 1 a job failed or was stopped, or no source "
               "could\n"
               "be added; 2 usage error.\n")
        .arg(programName);
}
