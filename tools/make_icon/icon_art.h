#pragma once

#include "image.h"

namespace make_icon {

// The program's icon, drawn for one of the sizes it is made in: 16, 32, 48 or 128 pixels.
// Each size has its own layout so that the small ones stay sharp, pixel for pixel.
Image draw_icon(int size);

}  // namespace make_icon
