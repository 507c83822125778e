#include "cli/cli_dvd.h"

#include <QEventLoop>
#include <QFileInfo>

namespace cli_dvd {

namespace {

Result usage(const QString& message) {
    return {Outcome::Usage, message};
}

Result failure(const QString& message) {
    return {Outcome::Failure, message};
}

}  // namespace

Result load(Session& session, const CliOptions& options) {
    QStringList folders;  // disc folders and disc images
    QStringList files;
    for (const QString& source : options.sources) {
        const QFileInfo info(source);
        // A file that is no IFO (nor its backup) is taken for a disc image.
        const bool image = info.isFile() &&
                           !source.endsWith(QLatin1String(".ifo"), Qt::CaseInsensitive) &&
                           !source.endsWith(QLatin1String(".bup"), Qt::CaseInsensitive);
        (info.isDir() || image ? folders : files) << info.absoluteFilePath();
    }
    if (!folders.isEmpty() && (folders.size() > 1 || !files.isEmpty())) {
        return usage(QStringLiteral("give one DVD folder or image, or IFO files"));
    }
    DvdTitles& titles = session.dvdTitles();
    if (!folders.isEmpty()) {
        DvdDiscovery& discovery = session.dvdDiscovery();
        bool ended = false;
        bool found = false;
        QEventLoop wait;
        const QMetaObject::Connection c =
            QObject::connect(&discovery, &DvdDiscovery::finished, &wait, [&](bool f) {
                ended = true;
                found = f;
                wait.quit();
            });
        if (!discovery.addDvdFolder(folders.first())) {
            QObject::disconnect(c);
            return failure(QStringLiteral("the DVD folder could not be added"));
        }
        if (!ended) {
            wait.exec();  // the optical drive is being awaited
        }
        QObject::disconnect(c);
        if (!found) {
            return failure({});  // "Can't find DVD disc." has been said
        }
    } else {
        for (const QString& file : std::as_const(files)) {
            if (!QFileInfo(file).isFile()) {
                return failure(QStringLiteral("no such file: %1").arg(file));
            }
        }
        if (!titles.addIfoFiles(files)) {
            return failure({});  // the reason has been said
        }
    }
    if (session.jobs().isEmpty()) {
        // Each file that could not be read has been named with its reason.
        if (titles.unreadableTitleSets() == titles.titleSetCount()) {
            return failure(QStringLiteral("no title set of the DVD could be read"));
        }
        return failure(QStringLiteral("no title on the disc is long enough to convert"));
    }
    if (options.chapters) {
        titles.switchView();
    }
    return {};
}

Result applyChoices(Session& session, const CliOptions& options) {
    JobList& jobs = session.jobs();
    DvdTitles& titles = session.dvdTitles();
    auto outside = [&jobs](const char* option, int row) {
        return usage(QStringLiteral("%1: there is no row %2 (rows 1..%3)")
                         .arg(QLatin1String(option))
                         .arg(row)
                         .arg(jobs.rowCount()));
    };
    if (options.rows) {
        for (const int row : *options.rows) {
            if (!jobs.isRow(row - 1)) {
                return outside("--rows", row);
            }
        }
        titles.setAllChecked(false);
        for (const int row : *options.rows) {
            jobs.setChecked(row - 1, true);
        }
    }
    struct Kind {
        const QList<CliOptions::StreamChoice>& choices;
        ChoiceList& box;
        const char* option;
    };
    const Kind kinds[] = {{options.audio, titles.audioBox(), "--audio"},
                          {options.subtitle, titles.subtitleBox(), "--subtitle"}};
    for (const Kind& kind : kinds) {
        for (const CliOptions::StreamChoice& choice : kind.choices) {
            if (!jobs.isRow(choice.row - 1)) {
                return outside(kind.option, choice.row);
            }
            // As a click on the row and a choice in its box.
            jobs.setSelection({choice.row - 1});
            titles.lvClick();
            if (choice.item >= kind.box.count()) {
                return usage(QStringLiteral("%1 %2=%3: row %2 has items 0..%4")
                                 .arg(QLatin1String(kind.option))
                                 .arg(choice.row)
                                 .arg(choice.item)
                                 .arg(kind.box.count() - 1));
            }
            kind.box.userSelect(choice.item);
        }
    }
    titles.lvClick();
    return {};
}

QString streamLists(Session& session) {
    const DvdTitles& titles = session.dvdTitles();
    QString text;
    auto line = [&text](int set, const char* kind, int item, const QString& description) {
        text += QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(set)
                    .arg(QLatin1String(kind))
                    .arg(item)
                    .arg(description);
    };
    for (int i = 0; i < titles.titleSetCount(); ++i) {
        const TIFOSelint& set = titles.titleSets()[size_t(i)];
        for (int a = 0; a < set.audioNames.size(); ++a) {
            line(i + 1, "audio", a, set.audioNames.at(a));
        }
        line(i + 1, "subtitle", 0, DvdTitles::kNoSubtitleText);
        for (int s = 0; s < set.subtitleNames.size(); ++s) {
            line(i + 1, "subtitle", s + 1, set.subtitleNames.at(s));
        }
    }
    return text;
}

}  // namespace cli_dvd
