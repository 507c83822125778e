#pragma once

#include <QImage>
#include <QWidget>

#include "previewlib/preview_surface.h"

// pl_play: the panel the preview library draws its frames into. Its handle for the library is
// surfaceHandle(); frames arrive on the user-interface thread while the preview plays.
class PreviewPanel : public QWidget, public PreviewSurface {
    Q_OBJECT
  public:
    explicit PreviewPanel(QWidget* parent = nullptr);

    void* surfaceHandle() { return static_cast<PreviewSurface*>(this); }
    const QImage& frame() const { return frame_; }

    void showFrame(const unsigned char* pixels, int width, int height, int stride) override;
    void clearFrame() override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage frame_;
};
