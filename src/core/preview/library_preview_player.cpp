#include "core/preview/library_preview_player.h"

#include "previewlib/preview.h"

namespace {

PreviewPlayer::PositionCallback& currentCallback() {
    static PreviewPlayer::PositionCallback callback;
    return callback;
}

void positionTrampoline(double seconds) {
    // A copy: the callback may replace itself while it runs.
    const PreviewPlayer::PositionCallback callback = currentCallback();
    if (callback) {
        callback(seconds);
    }
}

}  // namespace

LibraryPreviewPlayer::~LibraryPreviewPlayer() {
    currentCallback() = nullptr;
    ::SetEventFuntion(nullptr);
}

void LibraryPreviewPlayer::InitPreviewWindow(void* handle, qint32 width, qint32 height) {
    ::InitPreviewWindow(handle, width, height);
}

void LibraryPreviewPlayer::SetEventFuntion(PositionCallback callback) {
    currentCallback() = std::move(callback);
    ::SetEventFuntion(currentCallback() ? positionTrampoline : nullptr);
}

void LibraryPreviewPlayer::Seek(qint32 seconds) {
    ::Seek(seconds);
}

void LibraryPreviewPlayer::Play(const QByteArray& source) {
    ::Play(source.constData());
}

void LibraryPreviewPlayer::Pause() {
    ::Pause();
}

void LibraryPreviewPlayer::Stop() {
    ::Stop();
}
