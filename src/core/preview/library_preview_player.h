#pragma once

#include "core/preview/preview_player.h"

// The player over the preview library (previewlib/preview.h). The library takes a plain
// function as its callback, so the one callback in use is kept here for its trampoline.
class LibraryPreviewPlayer : public PreviewPlayer {
  public:
    ~LibraryPreviewPlayer() override;
    void InitPreviewWindow(void* handle, qint32 width, qint32 height) override;
    void SetEventFuntion(PositionCallback callback) override;
    void Seek(qint32 seconds) override;
    void Play(const QByteArray& source) override;
    void Pause() override;
    void Stop() override;
};
