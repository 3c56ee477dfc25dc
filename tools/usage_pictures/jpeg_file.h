#pragma once

#include <cairo.h>

#include <filesystem>

namespace usage_pictures {

// Writes an image surface as a baseline (sequential, not progressive) JFIF file with 8-bit
// RGB colour. Chroma is kept at full resolution so that thin red lines stay crisp.
void write_baseline_jpeg(cairo_surface_t* picture, const std::filesystem::path& path, int quality);

}  // namespace usage_pictures
