#include "core/engine/conversion_queue.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>

#include "core/engine/dvd_locator.h"
#include "core/engine/encoder_output.h"
#include "core/engine/option_assembly.h"
#include "core/engine/output_file.h"
#include "core/profiles/profile_catalog.h"

namespace {

// How many of the encoder's last lines a failed row keeps for the user to read.
constexpr int kTailLines = 12;

QString failureText(const JobEnd& end, const QString& outputName) {
    if (end.stalledMs > 0) {
        const int minutes = end.stalledMs / 60000;
        return minutes >= 1 ? QStringLiteral(
                                  "the encoder made no progress for %1 minutes and was "
                                  "stopped")
                                  .arg(minutes)
                            : QStringLiteral(
                                  "the encoder made no progress for %1 seconds and was "
                                  "stopped")
                                  .arg(end.stalledMs / 1000);
    }
    if (!end.started) {
        return end.errorText.isEmpty() ? QStringLiteral("the encoder could not be started")
                                       : end.errorText;
    }
    if (end.crashed) {
        return QStringLiteral("the encoder was ended abnormally");
    }
    if (end.exitCode != 0) {
        return QStringLiteral("the encoder exited with code %1").arg(end.exitCode);
    }
    // The file was made before the encoder started: "empty" covers "never written".
    return QFileInfo::exists(outputName)
               ? QStringLiteral("the encoder wrote no output (an empty file)")
               : QStringLiteral("the encoder wrote no output file");
}

}  // namespace

ConversionQueue::ConversionQueue(JobList& jobs, const ProfileSelection& selection,
                                 ProgressMonitor& monitor, CommandGuards& guards, UserInterface& ui,
                                 QObject* parent)
    : QObject(parent),
      jobs_(jobs),
      selection_(selection),
      monitor_(monitor),
      guards_(guards),
      ui_(ui) {}

ConversionQueue::~ConversionQueue() {
    // The jobs end their encoders (gently first) before their temporary files go.
    std::map<QObject*, LiveJob> live = std::move(live_);
    live_.clear();
    for (auto& [owner, job] : live) {
        delete owner;
        OutputFile::discard(job.output.path);
    }
}

void ConversionQueue::setOutputText(const QString& text) {
    if (outputText_ == text) {
        return;
    }
    outputText_ = text;
    emit outputTextChanged(text);
}

void ConversionQueue::setConverting(bool converting) {
    if (converting_ == converting) {
        return;
    }
    converting_ = converting;
    emit convertingChanged(converting);
}

bool ConversionQueue::convert() {
    if (guards_.refusedWhilePlaying() || guards_.refusedWhileConverting() ||
        guards_.refusedWhileAdding()) {
        return false;
    }
    if (jobs_.isEmpty()) {
        return false;
    }
    const OutputNaming::Folder folder = OutputNaming::prepareFolder(outputText_, false);
    if (!folder.error.isEmpty()) {
        ui_.warning(folder.error);
        return false;
    }

    ++generation_;
    naming_.reset();
    cleaned_.clear();
    stopped_ = false;
    problemReported_ = false;
    currentJob_ = 0;
    runLog_.runStarted(selection_, folder.path, jobs_.rowCount(), finishAction_);
    monitor_.startRun();
    setConverting(true);
    startCurrent();
    return true;
}

void ConversionQueue::startCurrent() {
    if (jobs_.isDvdRow(currentJob_)) {
        dvdJobStart();
    } else {
        fileJobStart();
    }
}

std::optional<intputrec> ConversionQueue::prepareJob(int row, OutputNaming& naming,
                                                     const QString& folder, QString* error) const {
    auto fail = [error](const QString& why) -> std::optional<intputrec> {
        if (error != nullptr) {
            *error = why;
        }
        return std::nullopt;
    };
    if (!jobs_.isRow(row)) {
        return fail(QStringLiteral("there is no row %1 in the job list").arg(row));
    }
    intputrec rec;
    rec.encoderPath = encoderPath_;
    rec.workFolder = workFolder_;
    QString baseName;
    if (const TConvertInfo* title = jobs_.convertInfo(row)) {
        rec.inputName = dvdLocator(*title);
        // Captions of chapter rows begin with blanks; the file name does not.
        baseName = jobs_.caption(row).trimmed();
    } else {
        const FileSource* file = jobs_.fileSource(row);
        rec.inputName = jobs_.jobInfo(row).source;
        baseName = QFileInfo(rec.inputName).fileName();
        const bool audioOnly = ProfileCatalog::isAudioOnly(selection_.activeProfile());
        if (file != nullptr && !file->hasAudio && audioOnly) {
            return fail(QStringLiteral("the source has no audio"));
        }
        // Else the encoder writes a video file without a picture (or a PSP profile fails
        // with its own words).
        if (file != nullptr && !file->hasVideo && !audioOnly) {
            return fail(QStringLiteral("the source has no video"));
        }
    }
    QString why;
    if (!assembleOptions(selection_, jobs_, row, rec, &why, stretch_)) {
        return fail(why.isEmpty() ? QStringLiteral("the encoder options cannot be worked out")
                                  : why);
    }
    rec.outputName =
        naming.chooseName(folder, baseName, jobs_.caption(row).trimmed(), selection_.extension());
    if (rec.outputName.isEmpty()) {
        return fail(QStringLiteral("no output name in %1 is short enough for its file system")
                        .arg(QDir::toNativeSeparators(folder)));
    }
    return rec;
}

void ConversionQueue::fileJobStart() {
    prepareAndStart(false);
}

void ConversionQueue::dvdJobStart() {
    // Rows whose check mark is clear are passed over and keep what they read.
    while (jobs_.isRow(currentJob_) && !jobs_.isMeantToRun(currentJob_)) {
        ++currentJob_;
    }
    if (!jobs_.isRow(currentJob_)) {
        runOver();
        return;
    }
    if (!jobs_.isDvdRow(currentJob_)) {
        fileJobStart();
        return;
    }
    prepareAndStart(true);
}

void ConversionQueue::prepareAndStart(bool enableTimer2) {
    const int row = currentJob_;
    const OutputNaming::Folder folder = OutputNaming::prepareFolder(outputText_, true);
    if (!folder.error.isEmpty()) {
        if (!problemReported_) {
            problemReported_ = true;
            emit problem(folder.error);
        }
        failJob(row, folder.error);
        return;
    }
    outputFolder_ = folder.path;
    if (!cleaned_.contains(folder.path)) {
        cleaned_.insert(folder.path);
        runLog_.leftoversRemoved(OutputFile::removeLeftovers(folder.path));
    }
    QString error;
    const std::optional<intputrec> rec = prepareJob(row, naming_, folder.path, &error);
    if (!rec) {
        failJob(row, error);
        return;
    }
    startJob(*rec, enableTimer2);
}

void ConversionQueue::startJob(const intputrec& wanted, bool enableTimer2) {
    const int row = currentJob_;
    QString why;
    LiveJob live;
    live.output = OutputFile::createClaimed(wanted.outputName, &why);
    if (live.output.path.isEmpty()) {
        failJob(row, why);
        return;
    }
    intputrec rec = wanted;
    rec.outputName = live.output.path;
    live.expectedSeconds = rec.durationSeconds;
    live.audioOnly = ProfileCatalog::isAudioOnly(selection_.activeProfile());
    if (!jobs_.isDvdRow(row)) {
        const QFileInfo source(rec.inputName);
        live.source = rec.inputName;
        live.sourceSize = source.size();
        live.sourceModified = source.lastModified();
    }
    RowState running = RowState::running(enableTimer2 ? monitor_.progressBase() : 0);
    running.outputName = wanted.outputName;
    jobs_.setNote(row, wanted.note);
    jobs_.setState(row, running);
    live.section = runLog_.jobStarted(row, jobs_.rowCount(), jobs_.caption(row).trimmed(),
                                      rec.inputName, wanted.outputName, live.output.path);
    runLog_.commandStarted(live.section, rec.encoderPath, argumentList(rec));
    const RunLog::Section section = live.section;

    monitor_.startJob(row, rec.durationSeconds);
    EncoderJob* job = new EncoderJob(this);
    job->setStallLimitMs(stallLimitMs_);
    current_ = job;
    live_.emplace(job, std::move(live));
    connect(job, &EncoderJob::chunkArrived, this, [this, job] {
        if (job == current_ && converting_) {
            if (monitor_.parseOutput(job->buffer())) {
                job->noteProgress();
            }
        } else {
            job->buffer().clear();
        }
    });
    connect(job, &EncoderJob::ended, this, [this, job](const JobEnd& end) { jobEnd(job, end); });
    connect(job, &EncoderJob::stopping, this,
            [this, section](const QString& how) { runLog_.stopping(section, how); });
    emit jobStarted(row);
    job->run(rec);
    if (enableTimer2) {
        monitor_.timer2().start();
    }
}

void ConversionQueue::failJob(int row, const QString& reason) {
    runLog_.failedBeforeStart(row, jobs_.caption(row).trimmed(), reason);
    jobs_.setState(row, RowState::failed(reason));
    emit jobEnded(row);
    // Moving on later keeps a long series of failing rows from nesting job starts.
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == generation_ && converting_) {
                advance();
            }
        },
        Qt::QueuedConnection);
}

void ConversionQueue::jobEnd(EncoderJob* job, const JobEnd& end) {
    job->deleteLater();
    auto node = live_.extract(job);
    if (node.empty()) {
        return;
    }
    LiveJob live = std::move(node.mapped());
    runLog_.encoderEnded(live.section, end);
    if (job != current_ || !converting_) {
        // The end of a stopped job (a newer run may be under way): Stop marked its row.
        OutputFile::discard(live.output.path);
        runLog_.jobEnded(live.section, RowState{RowState::Stopped, 0, {}, {}, {}});
        emit windingDownChanged();
        return;
    }
    current_ = nullptr;
    const int row = currentJob_;
    if (!end.succeeded() || QFileInfo(live.output.path).size() <= 0) {
        const QString why = failureText(end, live.output.path);
        OutputFile::discard(live.output.path);
        emit windingDownChanged();
        RowState state = RowState::failed(why, lastOutputLines(end.outputTail, kTailLines));
        state.outputName = jobs_.state(row).outputName;
        monitor_.showProgress(0);
        endRow(row, state, live.section);
        return;
    }
    // The encoder ended well; the file counts once it has been read back whole.
    live.outputTail = end.outputTail;
    OutputCheck::Job facts;
    facts.output = live.output.path;
    facts.expectedSeconds = live.expectedSeconds;
    const QFileInfo source(live.source);
    if (live.audioOnly && !live.source.isEmpty() && source.size() == live.sourceSize &&
        source.lastModified() == live.sourceModified) {
        facts.audioSource = live.source;
    }
    OutputCheck* check = new OutputCheck(encoderPath_, workFolder_, this);
    check_ = check;
    live_.emplace(check, std::move(live));
    connect(check, &OutputCheck::finished, this,
            [this, check](const QString& problem) { checkEnd(check, problem); });
    check->start(facts);
}

void ConversionQueue::checkEnd(OutputCheck* check, const QString& problem) {
    check->deleteLater();
    auto node = live_.extract(check);
    if (node.empty()) {
        return;
    }
    LiveJob live = std::move(node.mapped());
    if (check != check_ || !converting_) {
        OutputFile::discard(live.output.path);
        runLog_.jobEnded(live.section, RowState{RowState::Stopped, 0, {}, {}, {}});
        emit windingDownChanged();
        return;
    }
    runLog_.outputRead(live.section, problem.isEmpty() ? check->reading() : problem);
    check_ = nullptr;
    const int row = currentJob_;
    monitor_.showProgress(0);
    RowState state = jobs_.state(row);
    const QString wanted = state.outputName;
    QString why = problem;
    if (why.isEmpty()) {
        if (const QString name = commitOutput(live.output, wanted, &why); !name.isEmpty()) {
            state = RowState{RowState::Finished, 0, {}, {}, name};
        }
    }
    if (!why.isEmpty()) {
        OutputFile::discard(live.output.path);
        state = RowState::failed(why, lastOutputLines(live.outputTail, kTailLines));
        state.outputName = wanted;
    }
    live.output.claim.reset();
    emit windingDownChanged();
    endRow(row, state, live.section);
}

void ConversionQueue::endRow(int row, const RowState& state, RunLog::Section section) {
    runLog_.jobEnded(section, state);
    jobs_.setState(row, state);
    emit jobEnded(row);
    advance();
}

QString ConversionQueue::commitOutput(OutputFile::Claimed& output, const QString& wanted,
                                      QString* error) {
    // On the disk before it gets its name, and the name on the disk after: a power cut never
    // leaves a finished job's name on an empty file.
    if (!output.claim->sync(error)) {
        return {};
    }
    QString name = wanted;
    for (;;) {
        switch (OutputFile::moveNoReplace(output.path, name, error)) {
            case OutputFile::Move::Moved: {
                // The file is whole and named; a folder that cannot be synced can do no more.
                QString ignored;
                platform::syncFolder(QFileInfo(name).path(), &ignored);
                return name;
            }
            case OutputFile::Move::Failed:
                return {};
            case OutputFile::Move::Taken:
                // Someone else (another run, another program) took the name meanwhile.
                name = naming_.chooseName(
                    QFileInfo(name).path() + QLatin1Char('/'), QFileInfo(name).fileName(),
                    jobs_.caption(currentJob_).trimmed(), selection_.extension());
                if (name.isEmpty()) {
                    *error = QStringLiteral("no free output name is short enough");
                    return {};
                }
                break;
        }
    }
}

void ConversionQueue::advance() {
    ++currentJob_;
    if (jobs_.isRow(currentJob_)) {
        startCurrent();
        return;
    }
    runOver();
}

void ConversionQueue::runOver() {
    runLog_.runEnded(RunOutcome::of(jobs_));
    setConverting(false);
    if (monitor_.timer2().isActive()) {
        monitor_.timer2().stop();
    }
    switch (finishAction_) {
        case FinishAction::OpenFolder:
            emit openFolderDue(outputFolder_);
            break;
        case FinishAction::PowerOff:
            emit powerOffDue();
            break;
        case FinishAction::Nothing:
            break;
    }
    emit runEnded(false);
}

void ConversionQueue::stop() {
    if (!converting_) {
        return;
    }
    if (current_ != nullptr) {
        current_->terminate();
    }
    if (check_ != nullptr) {
        check_->cancel();
        check_ = nullptr;
    }
    // A row whose job has already failed (and waits for the queue to move on) keeps "Failed".
    if (jobs_.isRow(currentJob_) && jobs_.state(currentJob_).kind != RowState::Failed) {
        RowState state = jobs_.state(currentJob_);
        state.kind = RowState::Stopped;
        jobs_.setState(currentJob_, state);
    }
    runLog_.runStopped();
    runLog_.runEnded(RunOutcome::of(jobs_, currentJob_));
    setConverting(false);
    if (monitor_.timer2().isActive()) {
        monitor_.timer2().stop();
    }
    stopped_ = true;
    emit runEnded(true);
}
