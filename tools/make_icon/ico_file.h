#pragma once

#include <cstdint>
#include <vector>

#include "image.h"

namespace make_icon {

enum class IcoDepth { palette_256, true_colour };

struct IcoEntry {
    const Image& image;
    IcoDepth depth;
};

// The bytes of an .ico file holding the given images, in the given order. Each image is stored
// as a bottom-up BMP with an AND mask: 8 bits a pixel with a 256-colour palette, or 32 bits
// (BGRA). Throws std::runtime_error when an image has too many colours for a palette.
std::vector<std::uint8_t> make_ico(const std::vector<IcoEntry>& entries);

}  // namespace make_icon
