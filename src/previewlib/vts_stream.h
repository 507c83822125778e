#pragma once

#include <mpv/client.h>

#include <memory>

#include "previewlib/subpicture_tap.h"

namespace orvex::preview {

// Registers the "vts" protocol on a player: a DVD source locator opens as the bytes of its
// sector range, read through the same sector reader as register.dat. What the player reads
// passes through *tap when it is set (the pointer must outlive the player): its subpicture
// units are gathered, and sectors still scrambled (CSS) end the reading instead of reaching the
// screen as garbage. Returns mpv's error code.
int addVtsProtocol(mpv_handle* mpv, const std::shared_ptr<SubpictureTap>* tap);

}  // namespace orvex::preview
