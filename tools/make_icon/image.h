#pragma once

#include <cstdint>
#include <vector>

namespace make_icon {

// A square picture, rows top to bottom, 4 bytes (R, G, B, A) a pixel, alpha not premultiplied.
struct Image {
    int size = 0;
    std::vector<std::uint8_t> rgba;
};

}  // namespace make_icon
