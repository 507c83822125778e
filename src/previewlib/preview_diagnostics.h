#pragma once

// Beyond the contract, for tests and diagnostics: what the last playback really played.
struct PreviewTracks {
    int audioId = 0;     // program-stream id of the audio of a DVD locator; 0 for none or a file
    int subtitleId = 0;  // of its subtitle shown; 0 for none
};

PreviewTracks previewLastTracks();
