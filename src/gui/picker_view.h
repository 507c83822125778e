#pragma once

#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <array>
#include <functional>

#include "core/profiles/profile_picker.h"

// The profile picker drawn over the main window: its 20 panels with their category, entry and
// paging images. It draws the core picker's state and reports the pointer and the keys to it:
// an open picker holds the keyboard, marks the keyboard's place once a key is used, and gives
// the keyboard back where it was when it closes. Pictures come from the "images" folder beside
// the program; a missing one is drawn as a plain tile and said once, and the picker goes on
// working.
class PickerView : public QObject {
    Q_OBJECT
  public:
    PickerView(ProfilePicker& picker, const QString& dataFolder, QWidget* window);

    QFrame* panel(ProfilePicker::Panel panel) const { return panels_[panel]; }
    QLabel* entry(int number) const { return entries_.value(number); }
    QLabel* category(int number) const { return categories_.value(number); }
    QLabel* paging(ProfilePicker::Paging image) const { return paging_[int(image)]; }
    // The ring around the keyboard's place (hidden until a key is used in the picker).
    QWidget* focusMark() const { return mark_; }

    // Draws the state anew (changes are drawn together, once the handler that made them ends).
    void render();

  signals:
    // The first picture that could not be read, once.
    void pictureMissing(const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* picture(QWidget* parent, const QRect& rect, std::function<void()> onEnter,
                    std::function<void()> onClick);
    QPixmap load(const QString& relativePath, const QSize& size);
    // The picture at the label's height: a taller label (the last entry of a panel, which
    // reaches the panel's foot) gets the picture's background drawn on down.
    QPixmap fitted(const QString& relativePath, const QSize& size);
    bool keyPressed(int key);
    // Gives the keyboard to the picker as it opens, and back to where it was when it closes
    // holding it. `hadKeyboard`: a panel held it before this drawing.
    void followKeyboard(bool hadKeyboard);
    bool holdsKeyboard() const;
    void placeMark();

    ProfilePicker& picker_;
    QString folder_;
    std::array<QFrame*, ProfilePicker::PanelCount> panels_{};
    QHash<int, QLabel*> entries_;
    QHash<int, QLabel*> categories_;
    std::array<QLabel*, 4> paging_{};
    QHash<QLabel*, std::function<void()>> enters_;
    QHash<QLabel*, std::function<void()>> clicks_;
    QHash<QString, QPixmap> pixmaps_;
    int accentShift_ = 0;  // degrees of hue from the pictures' accent to the window's
    bool missingSaid_ = false;
    bool renderPending_ = false;
    QWidget* mark_ = nullptr;
    QPointer<QWidget> focusBefore_;
    bool keyboardUsed_ = false;
    bool holding_ = false;  // the open picker holds the keyboard
};
