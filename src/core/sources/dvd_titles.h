#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "core/engine/job_list.h"
#include "core/profiles/choice_list.h"
#include "core/profiles/output_estimates.h"
#include "core/shell/command_guards.h"
#include "core/shell/user_interface.h"
#include "core/sources/title_set_reader.h"

// One title set read into the list: its rows [firstRow, endRow) and its streams.
struct TIFOSelint {
    qint32 firstRow = 0;
    qint32 endRow = 0;
    qint32 audioCount = 0;
    QStringList audioNames;
    qint32 subtitleCount = 0;
    QStringList subtitleNames;
    QString ifoPath;
    // What the load read, kept so that the view switch builds its rows without reading the
    // disc again; empty when the file could not be read.
    std::shared_ptr<const TitleSetData> data;
};

// The DVD edition's rows: the titles (and, in the chapter view, the chapters) of the title sets
// read, their check marks per view, and the audio and subtitle choice of each row through the
// stream boxes cb_audio and cb_subtitle. Add IFO, Select All / Unselect ALL, the view switch,
// and the loading steps that Add DVD uses.
class DvdTitles : public QObject {
    Q_OBJECT
  public:
    static const QString kInvalidIfoText;  // "The selected IFO File is invalid, ..."
    static const QString kNoAudioText;     // "No Audio"
    static const QString kNoSubtitleText;  // "No Subtitle"
    // Chains and programs spanning fewer sectors than this give no row.
    static constexpr qint32 kMinimumSectors = 1000;

    DvdTitles(JobList& jobs, const OutputEstimates& estimates, CommandGuards& guards,
              UserInterface& ui, TitleSetReader& reader, bool dvdEdition,
              QObject* parent = nullptr);

    ChoiceList& audioBox() { return cb_audio_; }        // cb_audio
    ChoiceList& subtitleBox() { return cb_subtitle_; }  // cb_subtitle

    bool titleView() const { return titleView_; }
    int titleSetCount() const { return titleSetCount_; }
    const std::vector<TIFOSelint>& titleSets() const { return titleSets_; }
    // The check arrays of the two views; nullopt until built.
    const std::optional<std::vector<quint8>>& titleChecks() const { return titleChecks_; }
    const std::optional<std::vector<quint8>>& chapterChecks() const { return chapterChecks_; }
    // Title sets of the current load that could not be read.
    int unreadableTitleSets() const;
    // A row's stream choices as item indexes of its boxes (0 for a row that does not exist).
    int audioChoice(int row) const;
    int subtitleChoice(int row) const;
    // The title set record whose rows hold `row`; nullptr when none does.
    const TIFOSelint* titleSetOfRow(int row) const;

    // Add IFO: its file dialog, then addIfoFiles.
    void openIfo();
    // Add IFO with the files already chosen; false when refused or when no file gave a row.
    bool addIfoFiles(const QStringList& paths);
    // Select All and Unselect ALL.
    void setAllChecked(bool checked);
    // The view switch (skin command "chapter"); refused while a run, a preview or an Add DVD
    // is under way.
    void switchView();
    // The list click: keeps the current view's check marks and shows the selected row's
    // streams.
    void lvClick();
    // Remove and Clear in the DVD edition: rows, title set ranges and check marks together.
    void remove();
    void clear();

    // The steps of a load, for Add DVD: start afresh (list cleared and shown, check marks and
    // title sets dropped), read the title sets of IFO files and disc images all at once, add
    // each (a new record at the end, its rows appended in the current view; a file that could
    // not be read adds a record with no rows and says why through problem()), then finish.
    void beginLoad();
    // Puts saved rows back (what a killed run left unconverted): reads their title sets again,
    // in the view the rows were in, and keeps the rows read that match a saved one, with its
    // check mark and stream choices; the others go. A title set that is gone, unreadable or
    // changed is said through problem(). The number of rows restored.
    int restoreRows(const std::vector<JobList::Row>& saved);
    QList<TitleSetRead> readTitleSets(const QStringList& paths);
    void addTitleSet(const TitleSetRead& read);
    void finishLoading();
    // Says through problem() that a file of the load could not be read, and why.
    void reportUnreadable(const TitleSetRead& read);

    // "English AC-3 2ch (0x80)" -> "0x80"; "0" without ")".
    static QString streamNumberOf(const QString& description);
    // The second blank-separated word: "MPEG-2 720x576 PAL" -> "720x576"; empty with fewer
    // than two blanks.
    static QString pictureSizeOf(const QString& videoDescription);
    // The shape and rate its "PAL"/"NTSC" and "4:3"/"16:9" words give: 25 or 30000/1001 frames
    // a second, shown at 4:3 or 16:9 whatever the stored size.
    static PictureFacts pictureOf(const QString& videoDescription);
    // 1 -> "01", 10 -> "10".
    static QString twoDigits(int n);

  signals:
    // A load or a view switch has put its rows in the list.
    void loaded();
    // A title set that could not be read, and why: said without waiting for a click.
    void problem(const QString& text);

  private:
    std::optional<std::vector<quint8>>& currentChecks();
    void appendRow(const QString& caption, const TConvertInfo& info, const QString& size,
                   qint32 seconds);
    // The rows of a title set read, in the current view.
    void appendRows(TIFOSelint& set);
    void appendChapterRows(const TitleSetData::Chain& chain, const TConvertInfo& base,
                           const QString& size);
    // Removes the selected rows with their places in the title set ranges; the index the last
    // removed row had, or -1.
    int dropSelectedRows();
    // Gives a restored row a saved row's check mark and stream choices, where the title set
    // has those streams.
    void takeChoices(int row, const JobList::Row& saved);
    void fillStreamBoxes(int row);
    void resetStreamBoxes();
    void selectLargestRow();
    void keepChecks();
    bool refused();
    void audioChanged(int index);
    void subtitleChanged(int index);

    JobList& jobs_;
    const OutputEstimates& estimates_;
    CommandGuards& guards_;
    UserInterface& ui_;
    TitleSetReader& reader_;
    bool dvdEdition_;
    ChoiceList cb_audio_;
    ChoiceList cb_subtitle_;
    bool titleView_ = true;
    int titleSetCount_ = 0;
    std::vector<TIFOSelint> titleSets_;
    PictureFacts picture_;  // of the title set being read, for its rows
    std::optional<std::vector<quint8>> titleChecks_;
    std::optional<std::vector<quint8>> chapterChecks_;
};
