#include "ico_file.h"

#include <map>
#include <stdexcept>

namespace make_icon {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(Bytes& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// BMP rows are padded to whole 32-bit words.
std::size_t row_bytes(int pixels, int bits_per_pixel) {
    return (std::size_t(pixels) * bits_per_pixel + 31) / 32 * 4;
}

constexpr int palette_size = 256;

// Pixels with less than half opacity are left out in the AND mask, and in the palette version.
bool is_opaque(const Image& image, int x, int y) {
    return image.rgba[(std::size_t(y) * image.size + x) * 4 + 3] >= 128;
}

std::uint32_t rgb_at(const Image& image, int x, int y) {
    const std::uint8_t* p = &image.rgba[(std::size_t(y) * image.size + x) * 4];
    return std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
}

// Windows draws an icon by AND-ing the screen with the mask and XOR-ing the colour on top, so
// masked-out pixels must be black: palette entry 0 is always black and they all use it.
struct Palette {
    std::vector<std::uint32_t> colours{0x000000};
    std::map<std::uint32_t, std::uint8_t> index_of{{0x000000, 0}};

    std::uint8_t index(std::uint32_t rgb) {
        auto found = index_of.find(rgb);
        if (found != index_of.end()) return found->second;
        if (colours.size() == palette_size)
            throw std::runtime_error("icon image has more than 256 colours");
        const auto next = static_cast<std::uint8_t>(colours.size());
        colours.push_back(rgb);
        index_of.emplace(rgb, next);
        return next;
    }
};

void put_bitmap_header(Bytes& out, int size, int bits_per_pixel, std::uint32_t image_bytes) {
    put32(out, 40);        // size of this header
    put32(out, size);      // width
    put32(out, size * 2);  // height of colour bitmap and mask together, as icons require
    put16(out, 1);         // planes
    put16(out, bits_per_pixel);
    put32(out, 0);  // no compression
    put32(out, image_bytes);
    put32(out, 0);  // horizontal resolution, unused
    put32(out, 0);  // vertical resolution, unused
    put32(out, bits_per_pixel == 8 ? palette_size : 0);
    put32(out, 0);  // all colours important
}

// One bit a pixel, bottom row first; 1 lets the screen show through.
Bytes and_mask(const Image& image) {
    const std::size_t stride = row_bytes(image.size, 1);
    Bytes mask(stride * image.size, 0);
    for (int y = 0; y < image.size; ++y) {
        std::uint8_t* row = &mask[stride * (image.size - 1 - y)];
        for (int x = 0; x < image.size; ++x) {
            if (!is_opaque(image, x, y)) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    return mask;
}

Bytes palette_bitmap(const Image& image) {
    Palette palette;
    const std::size_t stride = row_bytes(image.size, 8);
    Bytes pixels(stride * image.size, 0);
    for (int y = 0; y < image.size; ++y) {
        std::uint8_t* row = &pixels[stride * (image.size - 1 - y)];
        for (int x = 0; x < image.size; ++x)
            row[x] = is_opaque(image, x, y) ? palette.index(rgb_at(image, x, y)) : 0;
    }
    const Bytes mask = and_mask(image);
    Bytes out;
    put_bitmap_header(out, image.size, 8, static_cast<std::uint32_t>(pixels.size() + mask.size()));
    for (int i = 0; i < palette_size; ++i) {
        const std::uint32_t rgb = i < int(palette.colours.size()) ? palette.colours[i] : 0;
        put32(out, rgb);  // stored as blue, green, red, 0: the same bytes as 0x00RRGGBB
    }
    out.insert(out.end(), pixels.begin(), pixels.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

Bytes true_colour_bitmap(const Image& image) {
    Bytes pixels;
    pixels.reserve(std::size_t(image.size) * image.size * 4);
    for (int y = image.size - 1; y >= 0; --y) {
        for (int x = 0; x < image.size; ++x) {
            const std::uint8_t* p = &image.rgba[(std::size_t(y) * image.size + x) * 4];
            if (p[3] == 0) {
                pixels.insert(pixels.end(), {0, 0, 0, 0});
            } else {
                pixels.insert(pixels.end(), {p[2], p[1], p[0], p[3]});
            }
        }
    }
    const Bytes mask = and_mask(image);
    Bytes out;
    put_bitmap_header(out, image.size, 32, static_cast<std::uint32_t>(pixels.size() + mask.size()));
    out.insert(out.end(), pixels.begin(), pixels.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

}  // namespace

std::vector<std::uint8_t> make_ico(const std::vector<IcoEntry>& entries) {
    std::vector<Bytes> bitmaps;
    for (const IcoEntry& entry : entries) {
        if (entry.image.size < 1 || entry.image.size > 256)
            throw std::invalid_argument("icon images must be 1 to 256 pixels wide");
        bitmaps.push_back(entry.depth == IcoDepth::palette_256 ? palette_bitmap(entry.image)
                                                               : true_colour_bitmap(entry.image));
    }

    Bytes out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<unsigned>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int size = entries[i].image.size;
        out.push_back(static_cast<std::uint8_t>(size % 256));  // 0 stands for 256
        out.push_back(static_cast<std::uint8_t>(size % 256));
        out.push_back(0);  // colour count: 0 for 256 colours and more
        out.push_back(0);  // reserved
        put16(out, 1);     // planes
        put16(out, entries[i].depth == IcoDepth::palette_256 ? 8 : 32);
        put32(out, static_cast<std::uint32_t>(bitmaps[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(bitmaps[i].size());
    }
    for (const Bytes& bitmap : bitmaps) out.insert(out.end(), bitmap.begin(), bitmap.end());
    return out;
}

}  // namespace make_icon
