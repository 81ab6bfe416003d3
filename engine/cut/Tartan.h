#pragma once

#include "engine/image/Image.h"

namespace engine::cut {

// The built-in 32 x 32 tartan tile: light yellow ground crossed by the same
// band of lines horizontally and vertically.
image::Image tartan();

} // namespace engine::cut
