// Writes the program icon into a resources folder:
//   tavik-search.ico                      16 and 32 pixels, each in 256 colours and true colour
//   icons/<n>x<n>/tavik-search.png        n = 16, 32, 48, 128, for the desktop
// The output depends on nothing but this program, so running it again gives the same files.

#include <cairo.h>

#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "ico_file.h"
#include "icon_art.h"

namespace fs = std::filesystem;
using namespace make_icon;

namespace {

void write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void write_png(const fs::path& path, const Image& image) {
    fs::create_directories(path.parent_path());
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.size, image.size),
        cairo_surface_destroy);
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < image.size; ++y) {
        for (int x = 0; x < image.size; ++x) {
            const std::uint8_t* p = &image.rgba[(std::size_t(y) * image.size + x) * 4];
            auto premultiplied = [alpha = p[3]](std::uint32_t c) {
                return (c * alpha + 127) / 255;
            };
            const std::uint32_t word = std::uint32_t{p[3]} << 24 | premultiplied(p[0]) << 16 |
                                       premultiplied(p[1]) << 8 | premultiplied(p[2]);
            std::memcpy(data + y * stride + x * 4, &word, 4);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <resources folder>\n";
        return 2;
    }
    const fs::path resources = argv[1];

    const Image small = draw_icon(16);
    const Image large = draw_icon(32);
    write_file(resources / "tavik-search.ico", make_ico({{small, IcoDepth::palette_256},
                                                         {small, IcoDepth::true_colour},
                                                         {large, IcoDepth::palette_256},
                                                         {large, IcoDepth::true_colour}}));
    for (int size : {16, 32, 48, 128}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        write_png(resources / "icons" / folder / "tavik-search.png", draw_icon(size));
    }
    return 0;
} catch (const std::exception& error) {
    std::cerr << argv[0] << ": " << error.what() << "\n";
    return 1;
}
