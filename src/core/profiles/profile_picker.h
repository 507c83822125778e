#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>

#include "core/profiles/layout_variant.h"
#include "core/profiles/profile_selection.h"
#include "core/shell/command_guards.h"

// The profile picker: a column of 13 category images beside panels of profile entries, four of
// them sub-panels of the first category. This object holds all of its state (which panels are
// visible, where they stand and which is in front, which pictures are highlighted, the current
// category and profile, the page flags) and runs its handlers; a view draws the state and
// reports the pointer.
class ProfilePicker : public QObject {
    Q_OBJECT
  public:
    enum Panel {
        Main,
        Video1,
        Video2,
        Audio1,
        Audio2,
        Ipod,
        Iphone,
        Psp,
        Phone,
        Pmp,
        AppleTv,
        Animation,
        Gphone,
        Win,
        Xbox,
        Hd,
        Avi,
        Mpeg,
        Mp4,
        Mkv,
        PanelCount
    };
    // What clicking or hovering an entry does.
    enum class EntryKind { Selectable, HoverOnly, Inert };
    // The paging images: Image94 and Image93 on the video pages, Image2 and Image5 on the audio.
    enum class Paging { Image94, Image93, Image2, Image5 };
    // The keys an open picker answers.
    enum class Key { Up, Down, Left, Right, Enter, Escape };

    struct PanelState {
        bool visible = false;
        QPoint position;
        int z = 0;          // the larger, the nearer the front
        bool flat = false;  // single-panel editions: no 3-D look, entries one pixel higher
    };

    static constexpr int kCategories = 13;
    static constexpr int kEntries = 132;

    ProfilePicker(QString programFileName, ProfileSelection& selection, CommandGuards& guards,
                  QObject* parent = nullptr);

    // The panel's name ("pl_main", "pl_video1", ...) and the entries it holds, top to bottom.
    static QString panelName(Panel panel);
    static QList<int> entriesOf(Panel panel);
    // The panel that holds entry n; PanelCount for none.
    static Panel panelOf(int entry);
    static EntryKind entryKind(int entry);
    // The file name part of category k's pictures ("img_video1" ...); empty outside 1..13.
    static QString categoryImageName(int category);
    // The panel category k shows (the first page for categories 1 and 2).
    static Panel panelOfCategory(int category);
    // The sub-panel a parent entry of pl_video1 (2 to 5) opens, PanelCount for other entries;
    // and the parent entry of a sub-panel, 0 for other panels.
    static Panel subPanelOfParent(int entry);
    static int parentOfSubPanel(Panel panel);

    // applyLayoutVariant: where the panels stand and the sub-panel offset.
    void applyLayoutVariant(const LayoutVariant& layout);

    // State, as the view draws it.
    const PanelState& panel(Panel panel) const { return panels_[panel]; }
    bool isOpen() const;
    bool categoryHighlighted(int category) const;
    bool entryHighlighted(int entry) const;
    // Where the entry at `index` stands in its panel: 310 wide, the first 53 high and the
    // others 48 (0, 53, 101, ...; flat panels one pixel higher), the last one stretched or cut
    // to the panel's bottom.
    QRect entryRect(Panel panel, int index) const;
    static constexpr int kPanelWidth = 310;
    static constexpr int kPanelHeight = 358;
    int currentCategory() const { return currentCategory_; }
    int currentProfile() const { return selection_.currentProfile(); }
    bool videoFirstPage() const { return videoFirstPage_; }
    bool audioFirstPage() const { return audioFirstPage_; }
    int subPanelOffset() const { return subPanelOffset_; }
    // pl_play, the preview panel, which the brand "kamzu" hides while the picker is open.
    bool playPanelVisible() const { return playPanelVisible_; }

    // Loaded from and saved to the settings.
    void setCurrentCategory(int category);
    void setPageFlags(bool videoFirstPage, bool audioFirstPage);

    // openPicker with the profile selected last; refused while converting.
    void openPicker(int previousProfile);
    void hidePicker();
    void restoreEntry(int entry);
    void restoreCategory(int category);
    // Draws every entry in its normal look (start-up).
    void restoreAllEntries();

    // The pointer and the clicks.
    void moveOverCategory(int category);
    void moveOverEntry(int entry);
    void clickEntry(int entry);
    void clickPaging(Paging image);
    // A preview started: pl_play is shown again.
    void showPlayPanel();

    // The keyboard in an open picker, going where the pointer would: Up and Down step through
    // the categories or through the entries of the panel (across its pages), Right goes from
    // the categories into the panel and from a parent entry into its sub-panel, Left back out,
    // Enter chooses the entry (or opens a parent's sub-panel), Escape closes. False when the
    // picker is closed.
    bool pressKey(Key key);
    // Where the keyboard is: the category column (the current category) or an entry (the
    // current profile). The pointer moves it too.
    bool keyInCategories() const { return keyInCategories_; }

  signals:
    void changed();

  private:
    bool isKamzu() const;
    void showPanel(Panel panel);
    void hidePanel(Panel panel);
    void bringToFront(Panel panel);
    void placeSubPanel(Panel sub);
    void flatten(Panel panel);
    void setCurrentProfile(int profile);
    // The single-panel edition's word that the program's name contains, or empty.
    QString singlePanelWord() const;
    bool categoryKey(Key key);
    bool entryKey(Key key);
    // The visible panel the keyboard steps through: the one holding the current profile, else
    // the panel in front.
    Panel keyPanel() const;
    // Puts the keyboard on entry n (highlighted as the pointer would).
    void keyToEntry(int entry);
    // Down past the last or Up past the first entry of a two-page panel turns the page.
    bool turnPage(Panel from, bool forward);

    QString programFileName_;
    ProfileSelection& selection_;
    CommandGuards& guards_;
    std::array<PanelState, PanelCount> panels_{};
    std::array<bool, kCategories + 1> categoryHighlighted_{};
    std::array<bool, kEntries + 1> entryHighlighted_{};
    int currentCategory_ = -1;
    bool videoFirstPage_ = true;
    bool audioFirstPage_ = true;
    int subPanelOffset_ = 220;
    int frontZ_ = 0;
    bool playPanelVisible_ = true;
    bool keyInCategories_ = false;
};
