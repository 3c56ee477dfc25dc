#include "cairo_handles.h"

#include <stdexcept>
#include <string>

namespace usage_pictures {

Surface make_white_picture(int width, int height) {
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    Context context = draw_on(surface.get());
    cairo_set_source_rgb(context.get(), 1, 1, 1);
    cairo_paint(context.get());
    return surface;
}

Context draw_on(cairo_surface_t* surface) {
    return Context(cairo_create(surface));
}

Surface load_png(const std::filesystem::path& path) {
    Surface surface(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot read " + path.string());
    return surface;
}

}  // namespace usage_pictures
