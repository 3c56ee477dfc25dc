#pragma once

#include <span>

namespace app {

// The program icon as PNG images, 16, 32 and 48 pixels square.
extern const std::span<const std::span<const unsigned char>> program_icon;

}  // namespace app
