#include "core/engine/conversion_queue.h"

#include <QFileInfo>
#include <QMetaObject>

#include "core/engine/option_assembly.h"
#include "core/shell/command_guards.h"

namespace {

QString failureText(const JobEnd& end, const QString& outputName) {
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
    if (!QFileInfo::exists(outputName)) {
        return QStringLiteral("the encoder wrote no output file");
    }
    return QStringLiteral("the encoder wrote an empty output file");
}

}  // namespace

const QString ConversionQueue::kFailedStatus = QStringLiteral("Failed");

ConversionQueue::ConversionQueue(AppState& state, JobList& jobs, ProfileSelection& selection,
                                 ProgressMonitor& monitor, UserInterface& ui,
                                 platform::MachineActions& machine, QObject* parent)
    : QObject(parent),
      state_(state),
      jobs_(jobs),
      selection_(selection),
      monitor_(monitor),
      ui_(ui),
      machine_(machine) {}

ConversionQueue::~ConversionQueue() = default;

bool ConversionQueue::convert() {
    if (CommandGuards::refusedWhilePlaying(state_, ui_) ||
        CommandGuards::refusedWhileConverting(state_, ui_) ||
        CommandGuards::refusedWhileProbing(state_, ui_)) {
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
    stopped_ = false;
    folderErrorShown_ = false;
    results_.clear();
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        JobResult r;
        r.caption = jobs_.caption(row);
        results_.append(r);
    }
    state_.currentJob = 0;
    state_.progressBase = 0;
    if (view_ != nullptr) {
        view_->setProgressVisible(true);
    }
    state_.converting = true;
    startCurrent();
    return true;
}

void ConversionQueue::startCurrent() {
    if (state_.isDvdEdition()) {
        dvdJobStart();
    } else {
        fileJobStart();
    }
}

std::optional<intputrec> ConversionQueue::prepareJob(int row, OutputNaming& naming,
                                                     const QString& folder, QString* error) const {
    intputrec rec;
    rec.encoderPath = encoderPath_;
    rec.workFolder = workFolder_;
    rec.inputName = jobs_.jobInfo(row).source;
    QString why;
    if (!assembleOptions(selection_, jobs_, row, rec, &why)) {
        if (error != nullptr) {
            *error =
                why.isEmpty() ? QStringLiteral("the encoder options cannot be worked out") : why;
        }
        return std::nullopt;
    }
    rec.outputName = naming.chooseName(folder, QFileInfo(rec.inputName).fileName(),
                                       jobs_.caption(row), selection_.extension());
    return rec;
}

void ConversionQueue::fileJobStart() {
    const int row = state_.currentJob;
    const OutputNaming::Folder folder = OutputNaming::prepareFolder(outputText_, true);
    if (!folder.error.isEmpty()) {
        if (!folderErrorShown_) {
            folderErrorShown_ = true;
            ui_.error(folder.error);
        }
        failJob(row, folder.error);
        return;
    }
    state_.outputFolder = folder.path;
    runFolder_ = folder.path;
    QString error;
    const std::optional<intputrec> rec = prepareJob(row, naming_, folder.path, &error);
    if (!rec) {
        failJob(row, error);
        return;
    }
    startJob(*rec, false);
}

void ConversionQueue::dvdJobStart() {
    // The DVD edition brings its own job start; without it a DVD row cannot be converted.
    failJob(state_.currentJob, QStringLiteral("DVD titles cannot be converted by this program"));
}

void ConversionQueue::startJob(const intputrec& rec, bool enableTimer2) {
    const int row = state_.currentJob;
    JobResult& result = results_[row];
    result.outcome = JobResult::Running;
    result.outputName = rec.outputName;
    result.commandLine = commandLineText(rec);

    monitor_.setDurationSeconds(rec.durationSeconds);
    EncoderJob* job = new EncoderJob(this);
    current_ = job;
    connect(job, &EncoderJob::chunkArrived, this, [this, job] {
        if (job == current_ && state_.converting) {
            monitor_.parseOutput(job->buffer());
        } else {
            job->buffer().clear();
        }
    });
    connect(job, &EncoderJob::ended, this, [this, job](const JobEnd& end) { jobEnd(job, end); });
    emit jobStarted(row);
    job->run(rec);
    if (enableTimer2) {
        monitor_.timer2().start();
    }
}

void ConversionQueue::failJob(int row, const QString& error) {
    if (jobs_.isRow(row)) {
        jobs_.setStatus(row, kFailedStatus);
    }
    if (row >= 0 && row < results_.size()) {
        results_[row].outcome = JobResult::Failed;
        results_[row].error = error;
    }
    emit jobEnded(row);
    // Moving on later keeps a long series of failing rows from nesting job starts.
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == generation_ && state_.converting) {
                advance();
            }
        },
        Qt::QueuedConnection);
}

void ConversionQueue::jobEnd(EncoderJob* job, const JobEnd& end) {
    job->deleteLater();
    if (job != current_) {
        return;  // the end of a job stopped earlier; a newer run may be under way
    }
    current_ = nullptr;
    if (!state_.converting) {
        return;  // stopped: Stop already marked the row
    }
    const int row = state_.currentJob;
    monitor_.showProgress(0);
    JobResult& result = results_[row];
    const bool ok = end.succeeded() && QFileInfo(result.outputName).size() > 0;
    if (ok) {
        result.outcome = JobResult::Finished;
        jobs_.setStatus(row, QStringLiteral("Finish"));
    } else {
        result.outcome = JobResult::Failed;
        result.error = failureText(end, result.outputName);
        result.outputTail = end.outputTail;
        jobs_.setStatus(row, kFailedStatus);
    }
    emit jobEnded(row);
    advance();
}

void ConversionQueue::advance() {
    ++state_.currentJob;
    if (jobs_.isRow(state_.currentJob)) {
        startCurrent();
        return;
    }
    runOver();
}

void ConversionQueue::runOver() {
    state_.converting = false;
    if (view_ != nullptr) {
        view_->setProgressVisible(false);
    }
    switch (state_.finishAction) {
        case 1:
            machine_.openFolder(state_.outputFolder);
            break;
        case 2:
            machine_.powerOff();
            break;
        default:
            break;
    }
    emit runEnded(false);
}

void ConversionQueue::stop() {
    if (!state_.converting) {
        return;
    }
    if (current_ != nullptr) {
        current_->terminate();
    }
    // A row whose job has already failed (and waits for the queue to move on) keeps "Failed".
    const int row = state_.currentJob;
    const bool failed =
        row >= 0 && row < results_.size() && results_[row].outcome == JobResult::Failed;
    if (!failed && jobs_.isRow(row)) {
        jobs_.setStatus(row, QStringLiteral("Stop"));
    }
    if (!failed && row >= 0 && row < results_.size()) {
        results_[row].outcome = JobResult::Stopped;
    }
    if (view_ != nullptr) {
        view_->setProgressVisible(false);
    }
    state_.converting = false;
    if (monitor_.timer2().isActive()) {
        monitor_.timer2().stop();
    }
    stopped_ = true;
    emit runEnded(true);
}
