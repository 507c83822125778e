#pragma once

#include <QHash>
#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <memory>

#include "core/shell/skin_objects.h"
#include "gui/skin/form/skin_description.h"

// One named object of a skinned window: a command drawn in its normal, hover and pressed
// looks, a text, a bar the user can drag, or the window's close, minimise and title parts.
// Every object takes text and a position, so the logic can write "profilestext",
// "play_time" and "play_bar" through the SkinText and SkinBar interfaces without caring
// which kind the skin made them; only text objects draw their text and only bars their
// position. Show and hide are QWidget's setVisible.
class SkinBundle;

class SkinObject : public QWidget, public SkinText, public SkinBar {
    Q_OBJECT

  public:
    SkinObject(const SkinObjectDef& def, QWidget* parent);

    const QString& name() const { return name_; }
    SkinObjectKind kind() const { return kind_; }

    void setText(const QString& text) override;
    const QString& text() const { return text_; }
    // A text object's text as drawn: shrunk to its smallest size, then shortened with "…"
    // when it is still too wide (its tooltip then holds the whole text).
    QString shownText() const;

    // Clamped to 0..kMaxPosition.
    void setPosition(int position) override;
    int position() const override { return position_; }

    void redraw() override { update(); }

    // What a click does, for the keyboard (Space, Enter) and assistive tools: the press, the
    // release and the click at the object's centre.
    Q_INVOKABLE void activate();

    // Takes the kind and looks of an object of the same name in another skin, so that
    // pointers the window keeps stay valid when it falls back to the built-in skin.
    void adopt(const SkinObjectDef& def);
    // Puts the object where a layout variant wants it, with that variant's looks (state ->
    // image path in the bundle; each is decoded when it is first drawn).
    void place(const QRect& rect, bool visible, const QHash<QString, QString>& looks,
               std::shared_ptr<const SkinBundle> bundle);

  signals:
    // A left press and release inside the object.
    void clicked(SkinObject* object);
    // Every press and release; `position` is in the object's own coordinates. A bar has
    // already moved to the pointer when these are sent.
    void pressed(SkinObject* object, Qt::MouseButton button, QPoint position);
    void released(SkinObject* object, Qt::MouseButton button, QPoint position);

  protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    bool isButtonLike() const;
    void paintText(QPainter& painter);
    // The font a text object draws `shown` in: the largest size at which it fits, or the
    // smallest.
    QFont textFont(const QString& shown) const;
    void showTip();
    void showCursor();
    void paintBar(QPainter& painter);
    void paintFocusMark(QPainter& painter);
    // A bar moved by the keyboard: pressed and released where it now stands.
    void stepBar(int position);
    int positionAt(int x) const;
    void runWindowAction();

    QString name_;
    SkinObjectKind kind_;
    SkinTextStyle style_;
    QString tooltip_;  // the skin's own
    // The look of a state, or the normal look when that state has none.
    QPixmap look(const QString& state) const;

    QHash<QString, QString> looks_;
    std::shared_ptr<const SkinBundle> bundle_;
    QString text_;
    int position_ = 0;
    bool hovered_ = false;
    bool leftDown_ = false;
    bool downInside_ = false;
    QPoint dragOffset_;  // title: pointer position relative to the window's corner
};
