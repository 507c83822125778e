#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>

// The preview player's six calls, as the preview logic makes them. The library's
// (LibraryPreviewPlayer) plays for real; tests script a fake. Play blocks until playback is
// over while the event loop keeps running, and position reports arrive within it.
class PreviewPlayer {
  public:
    using PositionCallback = std::function<void(double seconds)>;

    virtual ~PreviewPlayer() = default;
    virtual void InitPreviewWindow(void* handle, qint32 width, qint32 height) = 0;
    virtual void SetEventFuntion(PositionCallback callback) = 0;
    virtual void Seek(qint32 seconds) = 0;
    virtual void Play(const QByteArray& source) = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;
};
