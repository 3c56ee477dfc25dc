#pragma once

#include "runtime/window_description.h"

namespace rt {

// The 3-D face colour: the theme's window background, which every colour
// setting left at its default is painted in.
Rgb face_colour();

}  // namespace rt
