#pragma once

#include <QString>
#include <functional>

#include "core/shell/user_interface.h"

// The refusals shared by the commands that change the job list or start work. Each flag is
// asked of its owner (converting: the queue; adding: the add batch; playing: the preview).
// A refusal shows its warning and returns true when the command must not go on; commands
// test them in the order they need.
class CommandGuards {
  public:
    static const QString kStopPlayText;     // "Please first stop play!"
    static const QString kStopConvertText;  // "Please first stop convert!"
    static const QString kBusyText;         // while files being added are examined

    using Flag = std::function<bool()>;

    explicit CommandGuards(UserInterface& ui);

    // The owners of the flags; a flag without an owner reads false.
    void setConvertingFlag(Flag flag) { converting_ = std::move(flag); }
    void setPlayingFlag(Flag flag) { playing_ = std::move(flag); }
    void setAddingFlag(Flag flag) { adding_ = std::move(flag); }

    bool converting() const { return converting_ && converting_(); }
    bool playing() const { return playing_ && playing_(); }
    bool adding() const { return adding_ && adding_(); }

    bool refusedWhilePlaying();
    bool refusedWhileConverting();
    bool refusedWhileAdding();

  private:
    bool refuse(bool busy, const QString& text);

    UserInterface& ui_;
    Flag converting_;
    Flag playing_;
    Flag adding_;
};
