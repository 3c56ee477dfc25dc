#pragma once

#include <cairo.h>

#include <string_view>

namespace usage_pictures {

struct Point {
    double x;
    double y;
};

// A pixel rectangle given by its first and last columns and rows, both included, as the
// pictures' layout is written down: x 28–194 is 167 pixels wide.
struct PixelBox {
    int left;
    int top;
    int right;
    int bottom;
};

// The annotations drawn over the screenshots, all in one saturated red.

// Black text centred in a white box with rounded corners and a red border.
void draw_callout(cairo_t* context, PixelBox box, std::string_view text);

// A red line with a filled head whose tip is at `tip`.
void draw_arrow(cairo_t* context, Point tail, Point tip);

// A filled red disc, 20 pixels across, with a white digit.
void draw_marker(cairo_t* context, Point centre, std::string_view digit);

// A red frame whose outer edge is the box, `thickness` pixels wide.
void draw_frame(cairo_t* context, PixelBox box, double thickness);

// The point on a marker's rim that faces `from`, so that an arrow ends at the disc.
Point marker_rim_towards(Point centre, Point from);

}  // namespace usage_pictures
