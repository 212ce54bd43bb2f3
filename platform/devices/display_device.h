// The display object and its flipping pair, shared by both backends: surfaces live in memory
// and a Screen shows them.
#pragma once

#include <memory>

#include "platform/devices/faults.h"
#include "platform/devices/screen.h"
#include "platform/platform.h"

namespace kraylo {

// The Display of a backend: display objects presenting through `screen`, surfaces drawing text
// through `text`, bitmaps from files; every operation first checks `faults`.
std::unique_ptr<Display> CreateDisplay(Screen& screen, TextRenderer& text, const Faults& faults);

}  // namespace kraylo
