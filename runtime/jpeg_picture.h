#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace rt {

// A decoded picture: rows top to bottom, 3 bytes (R, G, B) a pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    bool empty() const { return rgb.empty(); }
};

// Decodes JPEG bytes with libjpeg's decompressor. A picture that cannot be
// decoded, whole, gives an empty Picture; nothing is reported.
Picture decode_jpeg(std::span<const unsigned char> bytes);

}  // namespace rt
