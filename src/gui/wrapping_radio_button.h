#pragma once

#include <QRadioButton>

// A radio button whose text goes on to further lines when its room is too narrow for one, so
// a long choice can be read whole in a small dialog. A click anywhere on it chooses it.
class WrappingRadioButton : public QRadioButton {
    Q_OBJECT
  public:
    explicit WrappingRadioButton(const QString& text, QWidget* parent = nullptr);

    // Where the text is drawn, in the button's coordinates, and how it is laid out there.
    QRect textRect() const;
    static constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

  private:
    int indicatorRoom() const;  // the indicator and the space after it
    QRect textBounds(int width) const;
};
