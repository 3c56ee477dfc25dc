#pragma once

#include <cairo.h>

#include <filesystem>
#include <memory>

namespace usage_pictures {

struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextRelease {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceRelease>;
using Context = std::unique_ptr<cairo_t, ContextRelease>;

// An opaque-white RGB picture of the given size.
Surface make_white_picture(int width, int height);

// A drawing context on the surface.
Context draw_on(cairo_surface_t* surface);

// Loads a PNG; throws when it cannot be read.
Surface load_png(const std::filesystem::path& path);

}  // namespace usage_pictures
