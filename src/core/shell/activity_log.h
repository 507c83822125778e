#pragma once

#include <QFile>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <map>

// The activity log: what a run of the program did, so that afterwards anyone can find out what
// happened (the profile and choices of each conversion run, every encoder command line as it
// was started, exit codes and signals, stops, files that were not added and why, the end of
// each run). One sink for every subsystem, each line tagged with its category. Lines go to
// one file per run of the program in folder() (at most kKeptFiles are kept), never beside the
// program, each written as it comes so that a crash loses nothing; the file is made with the
// first line. A job's lines form a section of their own: while one section is written, the
// lines of another wait for it to end, so jobs that run at once never interleave.
class ActivityLog : public QObject {
    Q_OBJECT
  public:
    enum class Category { Run, Engine, Sources, Dvd, Settings, Preview };
    static constexpr int kKeptFiles = 20;
    // How many of the last lines are kept in memory for a live view.
    static constexpr int kKeptLines = 5000;
    // Where a line's text starts, after its time ("HH:mm:ss.zzz") and its category.
    static constexpr int kTextColumn = 12 + 1 + 8 + 1;

    // programFileName names the files: "orvex-cli-20241231-235959-1234.log".
    explicit ActivityLog(QString programFileName, QObject* parent = nullptr);
    ~ActivityLog() override;

    // The folder of the log files: the state folder's "logs".
    static QString folder();
    // Writes to this file instead (orvex-cli --log FILE); only before the first line.
    void setPath(const QString& path);
    // The file this run's lines go to.
    const QString& path() const { return path_; }
    // Why the file cannot be written, once that is known; the lines are still kept in memory.
    const QString& fileProblem() const { return fileProblem_; }

    void write(Category category, const QString& text);

    // A job's section: its lines are written together, after its title.
    using Section = quint64;
    Section beginSection(Category category, const QString& title);
    void write(Section section, Category category, const QString& text);
    void endSection(Section section);

    // The last lines of this run, as written (up to kKeptLines).
    QStringList lines() const;

    static QString categoryName(Category category);

  signals:
    // Every line as it is logged, sections or not, for live views and standard error.
    void lineAdded(const QString& line);
    // The file cannot be written (said once).
    void problem(const QString& text);

  private:
    QString lineOf(Category category, const QString& text) const;
    // Appends a line to the file (opening it with the first line) and to memory.
    void put(const QString& line);
    void writeToFile(const QString& line);
    // Keeps a line for lines() and tells the live views.
    void remember(const QString& line);
    void open();
    // The next waiting section whose turn it is, written out.
    void writeWaiting();

    QString programFileName_;
    QString path_;
    QFile file_;
    bool opened_ = false;
    QString fileProblem_;
    std::deque<QString> kept_;
    Section nextSection_ = 1;
    Section writing_ = 0;  // the section that has the file now; 0: none
    // Sections waiting for their turn, in the order they began: their lines so far and
    // whether they have ended.
    struct Waiting {
        QStringList lines;
        bool ended = false;
    };
    std::map<Section, Waiting> waiting_;
};
