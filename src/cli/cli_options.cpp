#include "cli/cli_options.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "core/engine/jobs_at_once.h"
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

namespace {

// What an option's value did not satisfy, as the one line the user reads; nullopt when fine.
using Problem = std::optional<QString>;
// The value as given: attached ("--size=2", "-p118") or the next argument; nullopt when the
// command line ended first.
using Value = std::optional<QString>;

// One option of the command line: its names, whether it takes a value, and how it is applied.
// A new option is one more entry in options().
struct Option {
    QLatin1StringView shortName;  // "-p"; empty when there is none
    QLatin1StringView longName;   // "--profile"
    bool takesValue = false;
    std::function<Problem(CliOptions&, const QString& name, const Value&)> apply;

    bool named(const QString& name) const {
        return name == longName || (!shortName.isEmpty() && name == shortName);
    }
};

Option flag(QLatin1StringView shortName, QLatin1StringView longName, bool CliOptions::*member) {
    return {shortName, longName, false, [member](CliOptions& o, const QString&, const Value&) {
                o.*member = true;
                return Problem();
            }};
}

// An item index or profile number.
Option number(QLatin1StringView shortName, QLatin1StringView longName,
              std::optional<int> CliOptions::*member) {
    return {shortName, longName, true,
            [member](CliOptions& o, const QString& name, const Value& v) -> Problem {
                if (!v) {
                    return QStringLiteral("option %1 needs a number").arg(name);
                }
                o.*member = indexValue(*v);
                if (!(o.*member)) {
                    return QStringLiteral("option %1 needs a number, not '%2'").arg(name, *v);
                }
                return std::nullopt;
            }};
}

Option valued(QLatin1StringView shortName, QLatin1StringView longName,
              Problem (*apply)(CliOptions&, const QString&, const Value&)) {
    return {shortName, longName, true, apply};
}

// A path kept as given; an empty one is a mistake, said with what the option names.
Problem pathValue(Value& field, const QString& name, const Value& v, const char* what) {
    field = v;
    if (!v || v->isEmpty()) {
        return QStringLiteral("option %1 needs a %2").arg(name, QLatin1String(what));
    }
    return std::nullopt;
}

Problem outputFolder(CliOptions& o, const QString& name, const Value& v) {
    return pathValue(o.output, name, v, "folder");
}

Problem finishAction(CliOptions& o, const QString&, const Value& v) {
    if (v == QLatin1String("nothing")) {
        o.finish = CliOptions::Finish::Nothing;
    } else if (v == QLatin1String("open")) {
        o.finish = CliOptions::Finish::Open;
    } else if (v == QLatin1String("shutdown")) {
        o.finish = CliOptions::Finish::Shutdown;
    } else {
        return QStringLiteral("--finish takes nothing, open or shutdown");
    }
    return std::nullopt;
}

Problem jobsAtOnce(CliOptions& o, const QString& name, const Value& v) {
    const int cores = JobsAtOnce::cores();
    if (v == QLatin1String("auto")) {
        o.jobs = 0;
        return std::nullopt;
    }
    o.jobs = v ? indexValue(*v) : std::nullopt;
    if (!o.jobs || *o.jobs < 1 || *o.jobs > cores) {
        return QStringLiteral("%1 takes auto or a number from 1 to %2 (the cores)")
            .arg(name)
            .arg(cores);
    }
    return std::nullopt;
}

Problem logFile(CliOptions& o, const QString& name, const Value& v) {
    return pathValue(o.logFile, name, v, "file");
}

Problem tickedRows(CliOptions& o, const QString&, const Value& v) {
    o.rows = v ? CliOptions::parseRows(*v) : std::nullopt;
    if (!o.rows) {
        return QStringLiteral("--rows takes row positions from 1, such as 1,3-5");
    }
    return std::nullopt;
}

Problem streamChoice(QList<CliOptions::StreamChoice>& into, const QString& name, const Value& v) {
    const std::optional<CliOptions::StreamChoice> choice =
        v ? CliOptions::parseStreamChoice(*v) : std::nullopt;
    if (!choice) {
        return QStringLiteral("%1 takes ROW=ITEM, such as 2=1").arg(name);
    }
    into << *choice;
    return std::nullopt;
}

const std::vector<Option>& options() {
    using L = QLatin1StringView;
    static const std::vector<Option> table{
        number(L("-p"), L("--profile"), &CliOptions::profile),
        number(L(), L("--size"), &CliOptions::size),
        number(L(), L("--video-quality"), &CliOptions::videoQuality),
        number(L(), L("--audio-quality"), &CliOptions::audioQuality),
        number(L(), L("--channels"), &CliOptions::channels),
        valued(L("-o"), L("--output"), outputFolder),
        valued(L(), L("--finish"), finishAction),
        valued(L("-j"), L("--jobs"), jobsAtOnce),
        valued(L(), L("--rows"), tickedRows),
        valued(L(), L("--audio"),
               [](CliOptions& o, const QString& name, const Value& v) {
                   return streamChoice(o.audio, name, v);
               }),
        valued(L(), L("--subtitle"),
               [](CliOptions& o, const QString& name, const Value& v) {
                   return streamChoice(o.subtitle, name, v);
               }),
        flag(L(), L("--chapters"), &CliOptions::chapters),
        flag(L(), L("--list-streams"), &CliOptions::listStreams),
        flag(L(), L("--list-profiles"), &CliOptions::listProfiles),
        flag(L(), L("--show-lists"), &CliOptions::showLists),
        flag(L(), L("--list-jobs"), &CliOptions::listJobs),
        flag(L(), L("--print-commands"), &CliOptions::printCommands),
        flag(L(), L("--stretch"), &CliOptions::stretch),
        flag(L("-q"), L("--quiet"), &CliOptions::quiet),
        valued(L(), L("--log"), logFile),
        flag(L("-v"), L("--verbose"), &CliOptions::verbose),
        flag(L(), L("--resume"), &CliOptions::resume),
        flag(L("-h"), L("--help"), &CliOptions::help),
        flag(L(), L("--version"), &CliOptions::version),
    };
    return table;
}

// "--name=value" -> name and value; "-p118" -> "-p" and "118"; anything else stands alone.
std::pair<QString, Value> splitAttached(const QString& arg) {
    if (arg.startsWith(QLatin1String("--"))) {
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq > 0) {
            return {arg.left(eq), arg.mid(eq + 1)};
        }
        return {arg, std::nullopt};
    }
    if (arg.size() > 2) {
        return {arg.left(2), arg.mid(2)};
    }
    return {arg, std::nullopt};
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
        auto [name, value] = splitAttached(arg);
        const auto& table = options();
        const auto option = std::find_if(table.begin(), table.end(),
                                         [&](const Option& opt) { return opt.named(name); });
        if (option == table.end()) {
            return fail(QStringLiteral("unknown option '%1'").arg(arg));
        }
        if (!option->takesValue && value) {
            return fail(QStringLiteral("option '%1' takes no value").arg(name));
        }
        if (option->takesValue && !value && i + 1 < args.size()) {
            value = args.at(++i);
        }
        if (const Problem problem = option->apply(o, name, value)) {
            return fail(*problem);
        }
    }
    return o;
}

QString CliOptions::helpText(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [OPTIONS] SOURCE...\n"
               "Converts video files with the encoder front end, several at once where that is "
               "faster.\n"
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
               "  -j, --jobs N|auto       jobs at once: auto (Automatic, the default) or 1 to the "
               "number\n"
               "                          of cores; default: the settings file's\n"
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
               "      --log FILE          write the activity log to FILE; default: a new file "
               "in\n"
               "                          $XDG_STATE_HOME/orvex/logs/ "
               "(~/.local/state/orvex/logs/)\n"
               "  -v, --verbose           the activity log's lines on standard error too\n"
               "      --resume            convert what a run that did not end normally (killed, "
               "a crash,\n"
               "                          a power cut) left unconverted, with its profile, "
               "choices and\n"
               "                          output folder (no SOURCE)\n"
               "\n"
               "The DVD edition (a program name containing \"dvd\"): SOURCE is a DVD folder "
               "(the disc's\n"
               "root or its VIDEO_TS folder, searched as Add DVD does), a DVD image (.iso) or "
               "IFO files\n"
               "(read as Add IFO reads them); every title is ticked unless --rows says "
               "otherwise.\n"
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
