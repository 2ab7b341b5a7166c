#pragma once
// The default board background: 400x400 RGB, pale warm wood with a quiet grain.
#include "raster.h"

namespace artwork {

// Deterministic: the same bytes on every run, from a fixed seed and no outside data.
Raster render_board_background();

}  // namespace artwork
