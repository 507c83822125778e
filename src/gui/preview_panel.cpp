#include "gui/preview_panel.h"

#include <QPainter>

PreviewPanel::PreviewPanel(QWidget* parent) : QWidget(parent) {}

void PreviewPanel::showFrame(const unsigned char* pixels, int width, int height, int stride) {
    // The library's buffer lives only during this call.
    frame_ = QImage(pixels, width, height, stride, QImage::Format_RGBX8888).copy();
    update();
}

void PreviewPanel::clearFrame() {
    frame_ = QImage();
    update();
}

// With nothing playing the skin's own picture of the screen shows through.
void PreviewPanel::paintEvent(QPaintEvent*) {
    if (!frame_.isNull()) {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        // Drawn at the panel's size already; a panel resized since is scaled into.
        const QSize fitted = frame_.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                           fitted);
        painter.drawImage(target, frame_);
    }
}
