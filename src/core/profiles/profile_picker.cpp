#include "core/profiles/profile_picker.h"

#include <algorithm>

#include "platform/edition.h"

namespace {

struct PanelEntries {
    int first;
    int last;
};

// The entries of each panel, in panel order.
constexpr std::array<PanelEntries, ProfilePicker::PanelCount> kEntriesOf{{
    {0, -1},  // pl_main holds the categories
    {1, 7},   {8, 14},    {15, 21},   {22, 26},   {27, 33},   {34, 40}, {53, 59},
    {68, 74}, {83, 90},   {46, 52},   {99, 101},  {41, 45},   {75, 82}, {60, 67},
    {91, 98}, {102, 109}, {110, 117}, {118, 124}, {125, 132},
}};

const char* const kPanelNames[ProfilePicker::PanelCount] = {
    "pl_main", "pl_video1", "pl_video2", "pl_audio1",  "pl_audio2",    "pl_ipod",   "pl_iphone",
    "pl_psp",  "pl_phone",  "pl_pmp",    "pl_appletv", "pl_animation", "pl_gphone", "pl_win",
    "pl_xbox", "pl_hd",     "pl_avi",    "pl_mpeg",    "pl_mp4",       "pl_mkv"};

const char* const kCategoryImages[ProfilePicker::kCategories] = {
    "img_video1", "img_audio1", "img_ipod", "img_iphone", "img_gphone", "img_appletv",  "img_psp",
    "img_xbox",   "img_phone",  "img_win",  "img_pmp",    "img_hd",     "img_animation"};

// Category k's panel.
constexpr std::array<ProfilePicker::Panel, ProfilePicker::kCategories + 1> kCategoryPanels{
    ProfilePicker::PanelCount, ProfilePicker::Video1,   ProfilePicker::Audio1,  ProfilePicker::Ipod,
    ProfilePicker::Iphone,     ProfilePicker::Gphone,   ProfilePicker::AppleTv, ProfilePicker::Psp,
    ProfilePicker::Xbox,       ProfilePicker::Phone,    ProfilePicker::Win,     ProfilePicker::Pmp,
    ProfilePicker::Hd,         ProfilePicker::Animation};

// Where opening the picker goes for the profile selected last: the panel, the category to
// highlight, and for the sub-panels' profiles the sub-panel over pl_video1.
struct OpenAt {
    int first;
    int last;
    ProfilePicker::Panel panel;
    int category;
    ProfilePicker::Panel sub;
};
constexpr OpenAt kOpenAt[] = {
    {1, 7, ProfilePicker::Video1, 1, ProfilePicker::PanelCount},
    {8, 14, ProfilePicker::Video2, 1, ProfilePicker::PanelCount},
    {15, 21, ProfilePicker::Audio1, 2, ProfilePicker::PanelCount},
    {22, 26, ProfilePicker::Audio2, 2, ProfilePicker::PanelCount},
    {27, 32, ProfilePicker::Ipod, 3, ProfilePicker::PanelCount},
    {34, 39, ProfilePicker::Iphone, 4, ProfilePicker::PanelCount},
    {41, 44, ProfilePicker::Gphone, 5, ProfilePicker::PanelCount},
    {46, 51, ProfilePicker::AppleTv, 6, ProfilePicker::PanelCount},
    {53, 58, ProfilePicker::Psp, 7, ProfilePicker::PanelCount},
    {60, 66, ProfilePicker::Xbox, 8, ProfilePicker::PanelCount},
    {68, 73, ProfilePicker::Phone, 9, ProfilePicker::PanelCount},
    {75, 81, ProfilePicker::Win, 10, ProfilePicker::PanelCount},
    {83, 89, ProfilePicker::Pmp, 11, ProfilePicker::PanelCount},
    {91, 97, ProfilePicker::Hd, 12, ProfilePicker::PanelCount},
    {99, 100, ProfilePicker::Animation, 13, ProfilePicker::PanelCount},
    {102, 109, ProfilePicker::Video1, 1, ProfilePicker::Avi},
    {110, 117, ProfilePicker::Video1, 1, ProfilePicker::Mpeg},
    {118, 124, ProfilePicker::Video1, 1, ProfilePicker::Mp4},
    {125, 131, ProfilePicker::Video1, 1, ProfilePicker::Mkv},
};

// The single-panel editions, tested in this order; a null panel only hides the picker.
struct SinglePanel {
    const char* word;
    ProfilePicker::Panel panel;
    bool flat;
};
constexpr SinglePanel kSinglePanels[] = {
    {"ipod", ProfilePicker::Ipod, true},      {"psp", ProfilePicker::Psp, true},
    {"iphone", ProfilePicker::Iphone, true},  {"3gp", ProfilePicker::Phone, true},
    {"gphone", ProfilePicker::Gphone, true},  {"mp3", ProfilePicker::Audio1, true},
    {"audio", ProfilePicker::Audio1, true},   {"avi", ProfilePicker::Avi, false},
    {"mpeg", ProfilePicker::Mpeg, false},     {"mp4", ProfilePicker::Mp4, false},
    {"mkv", ProfilePicker::Mkv, false},       {"wmv", ProfilePicker::PanelCount, false},
    {"rm", ProfilePicker::PanelCount, false}, {"flv", ProfilePicker::PanelCount, false},
};

}  // namespace

ProfilePicker::ProfilePicker(QString programFileName, ProfileSelection& selection,
                             CommandGuards& guards, QObject* parent)
    : QObject(parent),
      programFileName_(std::move(programFileName)),
      selection_(selection),
      guards_(guards) {
    applyLayoutVariant(layoutVariantOf(platform::isDvdEdition(programFileName_), isKamzu()));
}

QString ProfilePicker::panelName(Panel panel) {
    return panel < PanelCount ? QLatin1String(kPanelNames[panel]) : QString();
}

QList<int> ProfilePicker::entriesOf(Panel panel) {
    QList<int> entries;
    if (panel < PanelCount) {
        for (int n = kEntriesOf[panel].first; n <= kEntriesOf[panel].last; ++n) {
            entries << n;
        }
    }
    return entries;
}

ProfilePicker::Panel ProfilePicker::panelOf(int entry) {
    for (int p = Video1; p < PanelCount; ++p) {
        if (entry >= kEntriesOf[p].first && entry <= kEntriesOf[p].last) {
            return static_cast<Panel>(p);
        }
    }
    return PanelCount;
}

ProfilePicker::EntryKind ProfilePicker::entryKind(int entry) {
    if (entry >= 2 && entry <= 5) {
        return EntryKind::HoverOnly;
    }
    if (entry == 109 || entry == 124) {
        return EntryKind::HoverOnly;
    }
    for (int inert : {13, 14, 98, 101, 117, 132}) {
        if (entry == inert) {
            return EntryKind::Inert;
        }
    }
    return entry >= 1 && entry <= kEntries ? EntryKind::Selectable : EntryKind::Inert;
}

ProfilePicker::Panel ProfilePicker::subPanelOfParent(int entry) {
    switch (entry) {
        case 2:
            return Avi;
        case 3:
            return Mpeg;
        case 4:
            return Mp4;
        case 5:
            return Mkv;
        default:
            return PanelCount;
    }
}

int ProfilePicker::parentOfSubPanel(Panel panel) {
    return panel >= Avi && panel <= Mkv ? 2 + (panel - Avi) : 0;
}

QString ProfilePicker::categoryImageName(int category) {
    return category >= 1 && category <= kCategories ? QLatin1String(kCategoryImages[category - 1])
                                                    : QString();
}

ProfilePicker::Panel ProfilePicker::panelOfCategory(int category) {
    return category >= 1 && category <= kCategories ? kCategoryPanels[category] : PanelCount;
}

bool ProfilePicker::isKamzu() const {
    return platform::isKamzuBrand(programFileName_);
}

void ProfilePicker::applyLayoutVariant(const LayoutVariant& layout) {
    subPanelOffset_ = layout.subPanelOffset;
    const QPoint main = layout.rectOf(QStringLiteral("pl_main")).topLeft();
    const QPoint entries = layout.rectOf(QStringLiteral("entry panels")).topLeft();
    for (int p = 0; p < PanelCount; ++p) {
        panels_[p].position = p == Main ? main : entries;
    }
    emit changed();
}

bool ProfilePicker::isOpen() const {
    return std::any_of(panels_.begin(), panels_.end(),
                       [](const PanelState& p) { return p.visible; });
}

bool ProfilePicker::categoryHighlighted(int category) const {
    return category >= 1 && category <= kCategories && categoryHighlighted_[category];
}

bool ProfilePicker::entryHighlighted(int entry) const {
    return entry >= 1 && entry <= kEntries && entryHighlighted_[entry];
}

QRect ProfilePicker::entryRect(Panel panel, int index) const {
    const int count = static_cast<int>(entriesOf(panel).size());
    const int top = (index == 0 ? 0 : 53 + 48 * (index - 1)) - (panels_[panel].flat ? 1 : 0);
    const int height = index == 0 ? 53 : 48;
    const int bottom = index == count - 1 ? kPanelHeight : top + height;
    return QRect(0, top, kPanelWidth, std::max(0, bottom - top));
}

void ProfilePicker::setCurrentCategory(int category) {
    currentCategory_ = category;
    selection_.setCategory(category);
    emit changed();
}

void ProfilePicker::setPageFlags(bool videoFirstPage, bool audioFirstPage) {
    videoFirstPage_ = videoFirstPage;
    audioFirstPage_ = audioFirstPage;
}

void ProfilePicker::setCurrentProfile(int profile) {
    selection_.setCurrentProfile(profile);
}

void ProfilePicker::showPanel(Panel panel) {
    panels_[panel].visible = true;
}

void ProfilePicker::hidePanel(Panel panel) {
    panels_[panel].visible = false;
}

void ProfilePicker::bringToFront(Panel panel) {
    panels_[panel].z = ++frontZ_;
}

void ProfilePicker::placeSubPanel(Panel sub) {
    panels_[sub].position = panels_[Video1].position + QPoint(subPanelOffset_, 0);
    showPanel(sub);
    bringToFront(sub);
}

void ProfilePicker::flatten(Panel panel) {
    panels_[panel].position.setX(isKamzu() ? 88 : 53);
    panels_[panel].flat = true;
    hidePicker();
    showPanel(panel);
}

QString ProfilePicker::singlePanelWord() const {
    const QString lower = programFileName_.toLower();
    for (const SinglePanel& s : kSinglePanels) {
        if (lower.contains(QLatin1String(s.word))) {
            return QLatin1String(s.word);
        }
    }
    return {};
}

void ProfilePicker::hidePicker() {
    for (PanelState& p : panels_) {
        p.visible = false;
    }
    emit changed();
}

void ProfilePicker::openPicker(int previousProfile) {
    if (guards_.refusedWhileConverting()) {
        return;
    }
    if (isKamzu() && !guards_.playing()) {
        playPanelVisible_ = false;
    }
    const QString word = singlePanelWord();
    for (const SinglePanel& s : kSinglePanels) {
        if (word != QLatin1String(s.word)) {
            continue;
        }
        if (s.panel == PanelCount) {
            hidePicker();
        } else if (s.flat) {
            hidePanel(Audio2);
            flatten(s.panel);
        } else {
            hidePicker();
            panels_[s.panel].position.setX(isKamzu() ? 88 : 53);
            showPanel(s.panel);
        }
        keyInCategories_ = false;
        emit changed();
        return;
    }

    restoreCategory(currentCategory_);
    showPanel(Main);
    for (const OpenAt& at : kOpenAt) {
        if (previousProfile < at.first || previousProfile > at.last) {
            continue;
        }
        showPanel(at.panel);
        if (at.sub != PanelCount) {
            placeSubPanel(at.sub);
        }
        categoryHighlighted_[at.category] = true;
        setCurrentCategory(at.category);
        break;
    }
    // The keyboard starts in the panel shown, or in the categories when none is.
    keyInCategories_ = keyPanel() == PanelCount;
    emit changed();
}

void ProfilePicker::restoreEntry(int entry) {
    const Panel sub = subPanelOfParent(entry);
    if (sub != PanelCount) {
        hidePanel(sub);
    }
    if (entry >= 1 && entry <= kEntries) {
        entryHighlighted_[entry] = false;
    }
    emit changed();
}

void ProfilePicker::restoreAllEntries() {
    for (int n = 1; n <= kEntries; ++n) {
        entryHighlighted_[n] = false;
    }
    emit changed();
}

void ProfilePicker::restoreCategory(int category) {
    if (category >= 1 && category <= kCategories) {
        categoryHighlighted_[category] = false;
        if (category == 1) {
            hidePanel(Video1);
            hidePanel(Video2);
        } else if (category == 2) {
            hidePanel(Audio1);
            hidePanel(Audio2);
        } else {
            hidePanel(kCategoryPanels[category]);
        }
    }
    for (Panel sub : {Avi, Mpeg, Mp4, Mkv}) {
        hidePanel(sub);
    }
    emit changed();
}

void ProfilePicker::moveOverCategory(int category) {
    if (category < 1 || category > kCategories) {
        return;
    }
    const bool keyMoved = !keyInCategories_;
    keyInCategories_ = true;
    if (currentCategory_ == category) {
        if (keyMoved) {
            emit changed();
        }
        return;
    }
    restoreCategory(currentCategory_);
    categoryHighlighted_[category] = true;
    setCurrentCategory(category);
    if (category == 1) {
        showPanel(videoFirstPage_ ? Video1 : Video2);
    } else if (category == 2) {
        showPanel(audioFirstPage_ ? Audio1 : Audio2);
    } else {
        showPanel(kCategoryPanels[category]);
    }
    emit changed();
}

void ProfilePicker::moveOverEntry(int entry) {
    if (entry < 1 || entry > kEntries || entryKind(entry) == EntryKind::Inert) {
        return;
    }
    if (keyInCategories_) {
        keyInCategories_ = false;
        emit changed();
    }
    int current = currentProfile();
    if (current == entry) {
        return;
    }
    const Panel panel = panelOf(entry);
    if (panel == Video1) {
        // Leaving a sub-panel for the first column counts as leaving its parent entry.
        if (current >= 102 && current <= 109) {
            current = 2;
        } else if (current >= 110 && current <= 117) {
            current = 3;
        } else if (current >= 118 && current <= 124) {
            current = 4;
        } else if (current >= 125 && current <= 131) {
            current = 5;
        }
    } else if (parentOfSubPanel(panel) != 0 && current == parentOfSubPanel(panel)) {
        // The parent keeps its highlight while the pointer is in its sub-panel.
        current = kEntriesOf[panel].first;
    }
    setCurrentProfile(current);
    const Panel sub = subPanelOfParent(entry);
    if (sub != PanelCount) {
        playPanelVisible_ = false;
        placeSubPanel(sub);
    }
    restoreEntry(current);
    entryHighlighted_[entry] = true;
    setCurrentProfile(entry);
    if (sub != PanelCount) {
        playPanelVisible_ = true;
    }
    emit changed();
}

void ProfilePicker::clickEntry(int entry) {
    if (entryKind(entry) != EntryKind::Selectable) {
        return;
    }
    hidePicker();
    setCurrentProfile(entry);
    selection_.selectProfile(entry);
}

void ProfilePicker::clickPaging(Paging image) {
    const QString word = singlePanelWord();
    const bool audioEdition = word == QLatin1String("mp3") || word == QLatin1String("audio");
    switch (image) {
        case Paging::Image94:
            videoFirstPage_ = false;
            showPanel(Video2);
            hidePanel(Video1);
            break;
        case Paging::Image93:
            hidePanel(Video2);
            showPanel(Video1);
            videoFirstPage_ = true;
            break;
        case Paging::Image2:
            if (audioEdition) {
                flatten(Audio2);
                hidePanel(Audio1);
            } else {
                hidePanel(Audio1);
                showPanel(Audio2);
                audioFirstPage_ = false;
            }
            break;
        case Paging::Image5:
            if (audioEdition) {
                flatten(Audio1);
                hidePanel(Audio2);
            } else {
                showPanel(Audio1);
                hidePanel(Audio2);
                audioFirstPage_ = true;
            }
            break;
    }
    emit changed();
}

void ProfilePicker::showPlayPanel() {
    playPanelVisible_ = true;
    emit changed();
}
