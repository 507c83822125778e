#pragma once

// Where the preview library draws: the panel of the window, named by the handle given to
// InitPreviewWindow. Called on the user-interface thread only, from within Play.
class PreviewSurface {
  public:
    virtual ~PreviewSurface() = default;
    // A frame of width x height pixels, 4 bytes each (R, G, B, unused), rows `stride` bytes
    // apart. The data is valid during the call only.
    virtual void showFrame(const unsigned char* pixels, int width, int height, int stride) = 0;
    // Playback ended: nothing is shown any more.
    virtual void clearFrame() = 0;
};
