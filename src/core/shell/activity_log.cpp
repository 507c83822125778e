#include "core/shell/activity_log.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "platform/program_paths.h"

ActivityLog::ActivityLog(QString programFileName, QObject* parent)
    : QObject(parent), programFileName_(std::move(programFileName)) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    path_ = folder() +
            QStringLiteral("%1-%2-%3.log")
                .arg(programFileName_.isEmpty() ? QStringLiteral("orvex") : programFileName_, stamp)
                .arg(QCoreApplication::applicationPid());
}

ActivityLog::~ActivityLog() {
    // Sections still waiting (the program is going away in the middle of jobs) are written
    // as far as they got, rather than lost.
    for (auto& [section, waiting] : waiting_) {
        for (const QString& line : std::as_const(waiting.lines)) {
            writeToFile(line);
        }
    }
}

QString ActivityLog::folder() {
    return platform::stateFolder() + QStringLiteral("logs/");
}

void ActivityLog::setPath(const QString& path) {
    if (!opened_) {
        path_ = QFileInfo(path).absoluteFilePath();
    }
}

QString ActivityLog::categoryName(Category category) {
    switch (category) {
        case Category::Run:
            return QStringLiteral("run");
        case Category::Engine:
            return QStringLiteral("engine");
        case Category::Sources:
            return QStringLiteral("sources");
        case Category::Dvd:
            return QStringLiteral("dvd");
        case Category::Settings:
            return QStringLiteral("settings");
        case Category::Preview:
            return QStringLiteral("preview");
    }
    return {};
}

QString ActivityLog::lineOf(Category category, const QString& text) const {
    return QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz")) +
           QLatin1Char(' ') + categoryName(category).leftJustified(8) + QLatin1Char(' ') + text;
}

void ActivityLog::write(Category category, const QString& text) {
    put(lineOf(category, text));
}

ActivityLog::Section ActivityLog::beginSection(Category category, const QString& title) {
    const Section section = nextSection_++;
    waiting_[section];
    write(section, category, title);
    if (writing_ == 0) {
        writeWaiting();
    }
    return section;
}

void ActivityLog::write(Section section, Category category, const QString& text) {
    const QString line = lineOf(category, text);
    if (section == writing_) {
        put(line);
        return;
    }
    const auto it = waiting_.find(section);
    if (it == waiting_.end()) {
        put(line);  // a section that has ended, or never was: the line is not lost
        return;
    }
    // Shown at once, written in its turn.
    it->second.lines << line;
    remember(line);
}

void ActivityLog::endSection(Section section) {
    if (section == writing_) {
        writing_ = 0;
        writeWaiting();
        return;
    }
    if (const auto it = waiting_.find(section); it != waiting_.end()) {
        it->second.ended = true;
    }
}

void ActivityLog::writeWaiting() {
    while (writing_ == 0 && !waiting_.empty()) {
        auto node = waiting_.extract(waiting_.begin());
        // Their lines were shown when they came; now they reach the file.
        for (const QString& line : std::as_const(node.mapped().lines)) {
            writeToFile(line);
        }
        if (!node.mapped().ended) {
            writing_ = node.key();
        }
    }
}

void ActivityLog::put(const QString& line) {
    writeToFile(line);
    remember(line);
}

void ActivityLog::writeToFile(const QString& line) {
    if (!opened_) {
        open();
    }
    if (file_.isOpen()) {
        file_.write(line.toUtf8() + '\n');
        file_.flush();
    }
}

void ActivityLog::remember(const QString& line) {
    kept_.push_back(line);
    while (kept_.size() > static_cast<size_t>(kKeptLines)) {
        kept_.pop_front();
    }
    emit lineAdded(line);
}

void ActivityLog::open() {
    opened_ = true;
    const QFileInfo info(path_);
    QDir().mkpath(info.absolutePath());
    file_.setFileName(path_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
        fileProblem_ = QStringLiteral(
                           "The activity log %1 cannot be written (%2); it is kept "
                           "in memory only.")
                           .arg(QDir::toNativeSeparators(path_), file_.errorString());
        emit problem(fileProblem_);
        return;
    }
    const QString header = QStringLiteral("Orvex activity log: %1 %2, started %3, process %4\n")
                               .arg(programFileName_, QCoreApplication::applicationVersion(),
                                    QDateTime::currentDateTime().toString(Qt::ISODate))
                               .arg(QCoreApplication::applicationPid());
    file_.write(header.toUtf8());
    // Only the newest logs of the folder are kept (a --log file elsewhere is the user's).
    if (info.absolutePath() + QLatin1Char('/') != folder()) {
        return;
    }
    QDir dir(folder());
    const QFileInfoList logs =
        dir.entryInfoList({QStringLiteral("*.log")}, QDir::Files, QDir::Time | QDir::Reversed);
    for (qsizetype i = 0; i + kKeptFiles < logs.size(); ++i) {
        if (logs[i].absoluteFilePath() != info.absoluteFilePath()) {
            QFile::remove(logs[i].absoluteFilePath());
        }
    }
}

QStringList ActivityLog::lines() const {
    return QStringList(kept_.begin(), kept_.end());
}
