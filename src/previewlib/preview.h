/* The preview player contract: plays a file or a DVD source locator ("vts://...") into a panel
 * of the caller's window. C-callable.
 *
 * Everything runs on the caller's thread, which must run a Qt event loop (the window's).
 * Play blocks until playback has ended or Stop was called, and keeps that thread's events
 * flowing meanwhile (a nested loop), so Stop, Pause and Seek arrive from click handlers while
 * Play is still running. The position callback is called on that same thread, from within
 * Play, with the stream's own time in seconds (a DVD title's first report may be far from 0).
 * No result is reported: a source that cannot be played makes Play return at once, showing
 * nothing. Nothing is written to the terminal.
 *
 * The short names are common words, so the linker names carry an "orvex_" prefix; callers
 * write the names below. */
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__) || defined(__clang__)
#define PREVIEW_STR2(x) #x
#define PREVIEW_STR(x) PREVIEW_STR2(x)
#define PREVIEW_LINK_NAME(name) __asm__(PREVIEW_STR(__USER_LABEL_PREFIX__) "orvex_" #name)
#else
#define PREVIEW_LINK_NAME(name)
#endif

typedef void (*PreviewPositionCallback)(double seconds);

/* handle: the panel that shows the frames, a PreviewSurface (previewlib/preview_surface.h);
 * width and height: the size frames are drawn at, the picture scaled into it with its own
 * aspect and black bars. A null handle plays without showing anything. */
void InitPreviewWindow(void* handle, int32_t width, int32_t height)
    PREVIEW_LINK_NAME(InitPreviewWindow);
/* The position callback; null for none. */
void SetEventFuntion(PreviewPositionCallback callback) PREVIEW_LINK_NAME(SetEventFuntion);
/* Before Play: where the next playback starts. During Play: jumps there. Seconds in the
 * stream's own time. */
void Seek(int32_t seconds) PREVIEW_LINK_NAME(Seek);
/* source: a file path (UTF-8) or a DVD source locator. Returns when playback is over. A Play
 * called while another runs returns at once. */
void Play(const char* source) PREVIEW_LINK_NAME(Play);
/* Flips between paused and playing; nothing while nothing plays. */
void Pause(void) PREVIEW_LINK_NAME(Pause);
/* Ends the running Play; nothing while nothing plays. */
void Stop(void) PREVIEW_LINK_NAME(Stop);

#ifdef __cplusplus
}
#endif
