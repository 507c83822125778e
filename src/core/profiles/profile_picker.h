#pragma once

#include <QObject>

#include "core/shell/command_guards.h"

// The profile picker's state: which panels show, which pictures are highlighted, which
// profile the pointer is on. Widgets render it and report the pointer; nothing here knows
// them.
class ProfilePicker : public QObject {
    Q_OBJECT
  public:
    explicit ProfilePicker(CommandGuards& guards, QObject* parent = nullptr);

    bool isOpen() const { return open_; }

    // openPicker: refused while converting; opens at the profile last selected.
    void openPicker(int previousProfile);
    // hidePicker: every panel hidden.
    void hidePicker();

  signals:
    void changed();

  private:
    CommandGuards& guards_;
    bool open_ = false;
};
