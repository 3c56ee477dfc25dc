#include "jpeg_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace usage_pictures {
namespace {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// libjpeg's default error handler ends the process; a tool may as well, but an exception
// lets main report which file failed.
[[noreturn]] void throw_jpeg_error(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    throw std::runtime_error(std::string("libjpeg: ") + message);
}

// One row of the surface as packed R, G, B bytes (the surface holds native-endian 0xAARRGGBB).
std::vector<JSAMPLE> rgb_row(const unsigned char* surface_row, int width) {
    std::vector<JSAMPLE> row(std::size_t(width) * 3);
    for (int x = 0; x < width; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, surface_row + std::size_t(x) * 4, 4);
        row[std::size_t(x) * 3 + 0] = JSAMPLE((pixel >> 16) & 0xff);
        row[std::size_t(x) * 3 + 1] = JSAMPLE((pixel >> 8) & 0xff);
        row[std::size_t(x) * 3 + 2] = JSAMPLE(pixel & 0xff);
    }
    return row;
}

}  // namespace

void write_baseline_jpeg(cairo_surface_t* picture, const std::filesystem::path& path, int quality) {
    cairo_surface_flush(picture);
    const int width = cairo_image_surface_get_width(picture);
    const int height = cairo_image_surface_get_height(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    const unsigned char* pixels = cairo_image_surface_get_data(picture);

    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot write " + path.string());

    jpeg_compress_struct compressor{};
    jpeg_error_mgr errors{};
    compressor.err = jpeg_std_error(&errors);
    errors.error_exit = throw_jpeg_error;
    jpeg_create_compress(&compressor);
    try {
        jpeg_stdio_dest(&compressor, file.get());
        compressor.image_width = JDIMENSION(width);
        compressor.image_height = JDIMENSION(height);
        compressor.input_components = 3;
        compressor.in_color_space = JCS_RGB;
        jpeg_set_defaults(&compressor);  // JFIF marker, Huffman-coded, sequential
        jpeg_set_quality(&compressor, quality, TRUE);
        for (int component = 0; component < compressor.num_components; ++component) {
            compressor.comp_info[component].h_samp_factor = 1;
            compressor.comp_info[component].v_samp_factor = 1;
        }
        jpeg_start_compress(&compressor, TRUE);
        for (int y = 0; y < height; ++y) {
            std::vector<JSAMPLE> row =
                rgb_row(pixels + std::size_t(y) * std::size_t(stride), width);
            JSAMPROW rows[] = {row.data()};
            jpeg_write_scanlines(&compressor, rows, 1);
        }
        jpeg_finish_compress(&compressor);
    } catch (...) {
        jpeg_destroy_compress(&compressor);
        throw;
    }
    jpeg_destroy_compress(&compressor);
    if (std::fflush(file.get()) != 0) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace usage_pictures
