#pragma once

#include <QString>

// The drawn objects of the skin that the logic writes to: "profilestext" and "play_time" are
// texts, "play_bar" is a bar whose position runs from 0 to 10000 and can be dragged by the user.
// The skin engine implements them; tests use plain recording fakes.
class SkinText {
  public:
    virtual ~SkinText() = default;
    virtual void setText(const QString& text) = 0;
    virtual void redraw() = 0;
};

class SkinBar {
  public:
    static constexpr int kMaxPosition = 10000;

    virtual ~SkinBar() = default;
    virtual void setPosition(int position) = 0;
    // Where the bar stands now, including where the user dragged it.
    virtual int position() const = 0;
    virtual void redraw() = 0;
};
