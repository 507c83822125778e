#pragma once

#include <mpv/client.h>

namespace orvex::preview {

// Registers the "vts" protocol on a player: a DVD source locator opens as the bytes of its
// sector range, read through the same sector reader as register.dat. Returns mpv's error code.
int addVtsProtocol(mpv_handle* mpv);

}  // namespace orvex::preview
