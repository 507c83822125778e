#include "cli/cli_options.h"

#include "core/engine/whole_number.h"

namespace {

// An item index or profile number as typed.
std::optional<int> indexValue(const QString& text) {
    const std::optional<qint64> value = wholeNumber(text, 999'999'999);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

}  // namespace

std::optional<QList<int>> CliOptions::parseRows(const QString& text) {
    QList<int> rows;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.split(QLatin1Char('-'));
        if (ends.size() > 2) {
            return std::nullopt;
        }
        const std::optional<int> first = indexValue(ends.first());
        const std::optional<int> last = indexValue(ends.last());
        if (!first || !last || *first < 1 || *last < *first || *last - *first > 100'000) {
            return std::nullopt;
        }
        for (int row = *first; row <= *last; ++row) {
            rows << row;
        }
    }
    return rows;
}

std::optional<CliOptions::StreamChoice> CliOptions::parseStreamChoice(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('='));
    if (parts.size() != 2) {
        return std::nullopt;
    }
    const std::optional<int> row = indexValue(parts.first());
    const std::optional<int> item = indexValue(parts.last());
    if (!row || !item || *row < 1) {
        return std::nullopt;
    }
    return StreamChoice{*row, *item};
}

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
        } else if (name == QLatin1String("--rows")) {
            const std::optional<QString> v = value();
            o.rows = v ? parseRows(*v) : std::nullopt;
            if (!o.rows) {
                problem = QStringLiteral("--rows takes row positions from 1, such as 1,3-5");
            }
        } else if (name == QLatin1String("--audio") || name == QLatin1String("--subtitle")) {
            const std::optional<QString> v = value();
            const std::optional<StreamChoice> choice = v ? parseStreamChoice(*v) : std::nullopt;
            if (!choice) {
                problem = QStringLiteral("%1 takes ROW=ITEM, such as 2=1").arg(name);
            } else {
                (name == QLatin1String("--audio") ? o.audio : o.subtitle) << *choice;
            }
        } else if (name == QLatin1String("--chapters")) {
            problem = flag(o.chapters) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--list-streams")) {
            problem = flag(o.listStreams) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--list-profiles")) {
            problem = flag(o.listProfiles) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--show-lists")) {
            problem = flag(o.showLists) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--list-jobs")) {
            problem = flag(o.listJobs) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--print-commands")) {
            problem = flag(o.printCommands) ? std::nullopt : std::optional(arg);
        } else if (name == QLatin1String("--stretch")) {
            problem = flag(o.stretch) ? std::nullopt : std::optional(arg);
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
               "      --stretch           stretch the picture to the chosen size instead of "
               "keeping\n"
               "                          its shape with black bars (also when the settings "
               "file says so)\n"
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
               "\n"
               "The DVD edition (a program name containing \"dvd\"): SOURCE is a DVD folder "
               "(the disc's\n"
               "root or its VIDEO_TS folder, searched as Add DVD does) or IFO files (read as Add "
               "IFO\n"
               "reads them); every title is ticked unless --rows says otherwise.\n"
               "      --chapters          the chapter view: each title followed by its "
               "chapters\n"
               "      --rows LIST         tick only these rows (positions from 1 as listed, "
               "e.g. 1,3-5)\n"
               "      --audio ROW=I       item I of that row's audio list (0 the first "
               "stream)\n"
               "      --subtitle ROW=I    item I of that row's subtitle list (0 \"No "
               "Subtitle\"), burnt in\n"
               "      --list-streams      print each title set's audio and subtitle lists (set "
               "TAB audio|\n"
               "                          subtitle TAB item TAB description)\n"
               "      --list-jobs         also prints, after Status, the check mark (1/0) and "
               "the audio\n"
               "                          and subtitle items\n"
               "  -h, --help              this text\n"
               "      --version           the version\n"
               "\n"
               "Exit status: 0 every job finished; 1 a job failed or was stopped, or no source "
               "could\n"
               "be added; 2 usage error.\n")
        .arg(programName);
}
