#pragma once

#include <QProxyStyle>

// The application's widget style: Fusion, with check boxes and radio buttons drawn so that both
// states read on the dark palette (an empty box with a light border, a filled box with a mark),
// on a selected row too.
class OrvexStyle : public QProxyStyle {
    Q_OBJECT
  public:
    OrvexStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
