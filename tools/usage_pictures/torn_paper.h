#pragma once

#include <cairo.h>

namespace usage_pictures {

// Where a screenshot goes on a picture: the part of the screenshot that starts at
// (source_x, source_y) is laid on the picture with its top-left pixel at (left, top). Its right
// and bottom edges are torn off at about `width` and `height`; the tear takes up to a few
// pixels more, never less. `tear_seed` picks the shape of the tear.
struct PaperPlacement {
    int left;
    int top;
    int source_x;
    int source_y;
    int width;
    int height;
    unsigned tear_seed;
};

// Lays the screenshot on the picture as a sheet torn at its right and bottom edges, with a
// soft grey shadow below and to the right of it.
void lay_torn_screenshot(cairo_surface_t* picture, cairo_surface_t* screenshot,
                         const PaperPlacement& placement);

}  // namespace usage_pictures
