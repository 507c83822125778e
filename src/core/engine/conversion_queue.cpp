#include "core/engine/conversion_queue.h"

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <algorithm>
#include <utility>
#include <vector>

#include "core/engine/dvd_locator.h"
#include "core/engine/encoder_output.h"
#include "core/engine/option_assembly.h"
#include "core/engine/output_file.h"
#include "core/engine/time_value.h"
#include "core/profiles/profile_catalog.h"

namespace {

// How many of the encoder's last lines a failed row keeps for the user to read.
constexpr int kTailLines = 12;

QString failureText(const JobEnd& end, const QString& outputName, const QString& writeError) {
    if (end.succeeded() && !writeError.isEmpty()) {
        return QStringLiteral("the output could not be written whole: %1").arg(writeError);
    }
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
    nextRow_ = 0;
    fillQueued_ = false;
    int rows = 0;
    qint64 seconds = 0;
    bool optical = false;
    QHash<QString, bool> folders;
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        if (willRun(row)) {
            ++rows;
            seconds += std::max<qint64>(1, secondsOfTimeValue(jobs_.jobInfo(row).duration));
            optical = optical || onOpticalDrive(row, folders);
        }
    }
    rowsLeft_ = rows;
    runJobs_ = JobsAtOnce::forRun(jobsAtOnce_, family(), cores_, rows, optical);
    runLog_.runStarted(selection_, folder.path, jobs_.rowCount(), finishAction_);
    monitor_.startRun(seconds, runJobs_ > 1);
    setConverting(true);
    fill();
    return true;
}

bool ConversionQueue::willRun(int row) const {
    // Rows whose check mark is clear are passed over and keep what they read.
    return !jobs_.isDvdRow(row) || jobs_.isChecked(row);
}

bool ConversionQueue::onOpticalDrive(int row, QHash<QString, bool>& folders) const {
    if (drives_ == nullptr) {
        return false;
    }
    const TConvertInfo* title = jobs_.convertInfo(row);
    const QString folder =
        QFileInfo(title != nullptr ? title->ifoPath : jobs_.jobInfo(row).source).absolutePath();
    // Asked once per folder: a list of thousands of files lies in a few.
    const auto known = folders.constFind(folder);
    if (known != folders.constEnd()) {
        return *known;
    }
    const bool optical = drives_->isOpticalDrive(folder);
    folders.insert(folder, optical);
    return optical;
}

JobsAtOnce::Family ConversionQueue::family() const {
    const int profile = selection_.activeProfile();
    if (ProfileCatalog::isDiscProfile(profile)) {
        return JobsAtOnce::Family::Mpeg12;
    }
    return JobsAtOnce::familyOf(selection_.profileArgs(), selection_.sizeList().currentText(),
                                selection_.extension(), ProfileCatalog::isAudioOnly(profile));
}

QList<int> ConversionQueue::runningRows() const {
    QList<int> rows;
    if (converting_) {
        for (const auto& [owner, job] : live_) {
            if (job.generation == generation_) {
                rows << job.row;
            }
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ConversionQueue::active() const {
    return static_cast<int>(std::count_if(live_.begin(), live_.end(), [this](const auto& l) {
        return l.second.generation == generation_;
    }));
}

void ConversionQueue::fill() {
    while (converting_ && active() < runJobs_) {
        while (jobs_.isRow(nextRow_) && !willRun(nextRow_)) {
            ++nextRow_;
        }
        if (!jobs_.isRow(nextRow_)) {
            break;
        }
        const int row = nextRow_++;
        currentJob_ = row;
        --rowsLeft_;
        if (!prepareAndStart(row, jobs_.isDvdRow(row))) {
            // Going on later keeps a long series of failing rows from holding up the window.
            fillLater();
            return;
        }
    }
    if (converting_ && active() == 0) {
        runOver();
    }
}

void ConversionQueue::fillLater() {
    if (fillQueued_) {
        return;
    }
    fillQueued_ = true;
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            // One of a stopped run only finds a newer run (which has its own) under way.
            if (generation == generation_) {
                fillQueued_ = false;
                fill();
            }
        },
        Qt::QueuedConnection);
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

bool ConversionQueue::prepareAndStart(int row, bool creep) {
    const OutputNaming::Folder folder = OutputNaming::prepareFolder(outputText_, true);
    if (!folder.error.isEmpty()) {
        if (!problemReported_) {
            problemReported_ = true;
            emit problem(folder.error);
        }
        failJob(row, folder.error);
        return false;
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
        return false;
    }
    return startJob(row, *rec, creep);
}

bool ConversionQueue::startJob(int row, const intputrec& wanted, bool creep) {
    QString why;
    LiveJob live;
    live.row = row;
    live.generation = generation_;
    live.audioOnly = ProfileCatalog::isAudioOnly(selection_.activeProfile());
    live.output = OutputFile::createClaimed(wanted.outputName, &why);
    if (live.output.path.isEmpty()) {
        failJob(row, why);
        return false;
    }
    intputrec rec = wanted;
    rec.outputName = live.output.path;
    // Its share of the cores among the jobs that will run beside it, for the picture's encoder
    // (register.dat keeps a -threads the command names).
    const int threads = JobsAtOnce::threadsPerJob(videoCodecOf(rec.profileArgs), cores_,
                                                  std::min(runJobs_, active() + 1 + rowsLeft_));
    if (threads > 0 && !live.audioOnly) {
        rec.profileArgs += QStringLiteral(" -threads %1").arg(threads);
    }
    live.expectedSeconds = rec.durationSeconds;
    if (!jobs_.isDvdRow(row)) {
        const QFileInfo source(rec.inputName);
        live.source = rec.inputName;
        live.sourceSize = source.size();
        live.sourceModified = source.lastModified();
    }
    monitor_.startJob(row, rec.durationSeconds, creep);
    RowState running = RowState::running(creep ? monitor_.value(row) : 0);
    running.outputName = wanted.outputName;
    jobs_.setNote(row, wanted.note);
    jobs_.setState(row, running);
    live.section = runLog_.jobStarted(row, jobs_.rowCount(), jobs_.caption(row).trimmed(),
                                      rec.inputName, wanted.outputName, live.output.path);
    runLog_.commandStarted(live.section, rec.encoderPath, argumentList(rec));
    const RunLog::Section section = live.section;

    EncoderJob* job = new EncoderJob(this);
    job->setStallLimitMs(stallLimitMs_);
    live_.emplace(job, std::move(live));
    const quint64 generation = generation_;
    connect(job, &EncoderJob::chunkArrived, this, [this, job, row, generation] {
        if (generation == generation_ && converting_) {
            if (monitor_.parseOutput(row, job->buffer())) {
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
    return true;
}

void ConversionQueue::failJob(int row, const QString& reason) {
    runLog_.failedBeforeStart(row, jobs_.caption(row).trimmed(), reason);
    jobs_.setState(row, RowState::failed(reason));
    emit jobEnded(row);
}

void ConversionQueue::jobEnd(EncoderJob* job, const JobEnd& end) {
    job->deleteLater();
    auto node = live_.extract(job);
    if (node.empty()) {
        return;
    }
    LiveJob live = std::move(node.mapped());
    runLog_.encoderEnded(live.section, end);
    if (live.generation != generation_ || !converting_) {
        // The end of a stopped job (a newer run may be under way): Stop marked its row.
        OutputFile::discard(live.output.path);
        runLog_.jobEnded(live.section, RowState{RowState::Stopped, 0, {}, {}, {}});
        emit windingDownChanged();
        return;
    }
    const int row = live.row;
    const QString writeError = outputWriteError(end.outputTail);
    if (!end.succeeded() || QFileInfo(live.output.path).size() <= 0 || !writeError.isEmpty()) {
        const QString why = failureText(end, live.output.path, writeError);
        OutputFile::discard(live.output.path);
        emit windingDownChanged();
        RowState state = RowState::failed(why, lastOutputLines(end.outputTail, kTailLines));
        state.outputName = jobs_.state(row).outputName;
        jobDone(row, state, live.section);
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
    if (live.generation != generation_ || !converting_) {
        OutputFile::discard(live.output.path);
        runLog_.jobEnded(live.section, RowState{RowState::Stopped, 0, {}, {}, {}});
        emit windingDownChanged();
        return;
    }
    runLog_.outputRead(live.section, problem.isEmpty() ? check->reading() : problem);
    const int row = live.row;
    RowState state = jobs_.state(row);
    const QString wanted = state.outputName;
    QString why = problem;
    if (why.isEmpty()) {
        if (const QString name = commitOutput(row, live.output, wanted, &why); !name.isEmpty()) {
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
    jobDone(row, state, live.section);
}

void ConversionQueue::jobDone(int row, const RowState& state, RunLog::Section section) {
    runLog_.jobEnded(section, state);
    monitor_.endJob(row);
    jobs_.setState(row, state);
    emit jobEnded(row);
    fill();
}

QString ConversionQueue::commitOutput(int row, OutputFile::Claimed& output, const QString& wanted,
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
                name = naming_.chooseName(QFileInfo(name).path() + QLatin1Char('/'),
                                          QFileInfo(name).fileName(), jobs_.caption(row).trimmed(),
                                          selection_.extension());
                if (name.isEmpty()) {
                    *error = QStringLiteral("no free output name is short enough");
                    return {};
                }
                break;
        }
    }
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
    // Every running row reads "Stop"; their ends come later and only release the jobs.
    std::vector<std::pair<QObject*, int>> running;
    for (const auto& [owner, live] : live_) {
        if (live.generation == generation_) {
            running.emplace_back(owner, live.row);
        }
    }
    for (const auto& [owner, row] : running) {
        if (auto* job = qobject_cast<EncoderJob*>(owner)) {
            job->terminate();
        } else if (auto* check = qobject_cast<OutputCheck*>(owner)) {
            check->cancel();
        }
        RowState state = jobs_.state(row);
        state.kind = RowState::Stopped;
        jobs_.setState(row, state);
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
