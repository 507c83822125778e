#include <algorithm>

#include "core/profiles/profile_picker.h"

// The picker's keyboard: arrows step through the categories and the entries of the panel in
// front, across pages and into and out of the sub-panels, as the pointer would.

ProfilePicker::Panel ProfilePicker::keyPanel() const {
    const Panel holding = panelOf(currentProfile());
    if (holding != PanelCount && panels_[holding].visible) {
        return holding;
    }
    Panel front = PanelCount;
    for (int p = Video1; p < PanelCount; ++p) {
        if (panels_[p].visible && (front == PanelCount || panels_[p].z > panels_[front].z)) {
            front = static_cast<Panel>(p);
        }
    }
    return front;
}

void ProfilePicker::keyToEntry(int entry) {
    moveOverEntry(entry);
    // Already the current profile: moving over it changed nothing, so show it highlighted.
    if (!entryHighlighted_[entry]) {
        entryHighlighted_[entry] = true;
        emit changed();
    }
}

bool ProfilePicker::turnPage(Panel from, bool forward) {
    struct Turn {
        Panel from;
        bool forward;
        Paging image;
        Panel to;
    };
    constexpr Turn kTurns[] = {{Video1, true, Paging::Image94, Video2},
                               {Video2, false, Paging::Image93, Video1},
                               {Audio1, true, Paging::Image2, Audio2},
                               {Audio2, false, Paging::Image5, Audio1}};
    for (const Turn& t : kTurns) {
        if (t.from == from && t.forward == forward) {
            clickPaging(t.image);
            QList<int> entries = entriesOf(t.to);
            entries.removeIf([](int n) { return entryKind(n) == EntryKind::Inert; });
            keyToEntry(forward ? entries.first() : entries.last());
            return true;
        }
    }
    return false;
}

bool ProfilePicker::categoryKey(Key key) {
    const int category =
        currentCategory_ >= 1 && currentCategory_ <= kCategories ? currentCategory_ : 0;
    switch (key) {
        case Key::Up:
            moveOverCategory(std::max(1, category - 1));
            return true;
        case Key::Down:
            moveOverCategory(std::min(kCategories, category + 1));
            return true;
        case Key::Right:
        case Key::Enter: {
            if (category == 0) {
                moveOverCategory(1);
            }
            const Panel panel = keyPanel();
            if (panel == PanelCount) {
                return true;
            }
            const int current = currentProfile();
            if (panelOf(current) == panel && entryKind(current) != EntryKind::Inert) {
                keyToEntry(current);
            } else {
                keyToEntry(entriesOf(panel).first());
            }
            return true;
        }
        default:
            return true;
    }
}

bool ProfilePicker::entryKey(Key key) {
    const Panel panel = keyPanel();
    if (panel == PanelCount) {
        return false;
    }
    QList<int> entries = entriesOf(panel);
    entries.removeIf([](int n) { return entryKind(n) == EntryKind::Inert; });
    const int current = currentProfile();
    const qsizetype at = entries.indexOf(current);
    const Panel sub = subPanelOfParent(current);
    switch (key) {
        case Key::Up:
        case Key::Down: {
            const bool down = key == Key::Down;
            const qsizetype next = at < 0 ? 0 : at + (down ? 1 : -1);
            if (next >= 0 && next < entries.size()) {
                keyToEntry(entries[next]);
            } else {
                turnPage(panel, down);
            }
            return true;
        }
        case Key::Enter:
            if (entryKind(current) == EntryKind::Selectable && at >= 0) {
                clickEntry(current);
                return true;
            }
            [[fallthrough]];
        case Key::Right:
            if (sub != PanelCount) {
                placeSubPanel(sub);
                keyToEntry(entriesOf(sub).first());
            }
            return true;
        case Key::Left:
            if (parentOfSubPanel(panel) != 0) {
                keyToEntry(parentOfSubPanel(panel));
            } else if (panels_[Main].visible) {
                keyInCategories_ = true;
                emit changed();
            }
            return true;
        case Key::Escape:
            break;
    }
    return true;
}

bool ProfilePicker::pressKey(Key key) {
    if (!isOpen()) {
        return false;
    }
    if (key == Key::Escape) {
        hidePicker();
        return true;
    }
    return keyInCategories_ && panels_[Main].visible ? categoryKey(key) : entryKey(key);
}
