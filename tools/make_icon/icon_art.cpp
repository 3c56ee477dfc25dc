#include "icon_art.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>

namespace make_icon {
namespace {

struct Colour {
    double r, g, b;
};

constexpr Colour from_hex(unsigned rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

constexpr Colour slab_outline = from_hex(0x3c3c3c);
constexpr Colour slab_top = from_hex(0xc0c0c0);
constexpr Colour slab_highlight = from_hex(0xe8e8e8);
constexpr Colour slab_front = from_hex(0x858585);
constexpr Colour strip_shadow = from_hex(0x8e8e8e);
constexpr Colour film = from_hex(0x262626);
constexpr Colour sprocket_hole = from_hex(0xe4e4e4);
constexpr Colour orange_frame = from_hex(0xf7901e);
constexpr Colour white_frame = from_hex(0xffffff);
constexpr Colour marker_blue = from_hex(0x1f6fe8);
constexpr Colour marker_dark = from_hex(0x0b3a8c);
constexpr Colour marker_light = from_hex(0x8cc0ff);

struct Box {
    int x, y, width, height;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
};

// Where everything goes at one size, in whole pixels so that edges fall on pixel boundaries.
// The strip starts left of the picture: it is longer than the slab and runs off its left end.
struct Layout {
    int size;
    Box slab;         // outline included
    int outline;      // width of the slab's dark outline
    int highlight;    // rows of light edge at the top of the slab's upper face
    int front;        // rows of the slab's darker front face, above the bottom outline
    Box strip;        // the film strip lying on the slab
    int shadow;       // how far the strip's shadow falls right and down
    int hole_size;    // sprocket holes are square
    int hole_first;   // from the strip's left end to the first hole
    int hole_pitch;   // from one hole's left edge to the next
    int hole_inset;   // from the strip's top and bottom edges to the holes
    int frame_first;  // from the strip's left end to the first frame
    int frame_width;
    int frame_gap;     // film between frames and after the last one
    int frame_inset;   // from the strip's top and bottom edges to the frames
    Box marker;        // the blue marker at the slab's right end
    double roundness;  // corner radius in pixels; 0 draws crisp, unsmoothed edges
};

// Each layout was placed by eye on an enlarged view of that size.
const Layout& layout_for(int size) {
    static const Layout layouts[] = {
        {
            .size = 16,
            .slab = {1, 2, 15, 14},
            .outline = 1,
            .highlight = 1,
            .front = 2,
            .strip = {-1, 4, 13, 8},
            .shadow = 0,
            .hole_size = 1,
            .hole_first = 2,
            .hole_pitch = 2,
            .hole_inset = 1,
            .frame_first = 1,
            .frame_width = 3,
            .frame_gap = 1,
            .frame_inset = 2,
            .marker = {13, 5, 2, 4},
            .roundness = 0,
        },
        {
            .size = 32,
            .slab = {2, 5, 30, 26},
            .outline = 1,
            .highlight = 1,
            .front = 3,
            .strip = {-2, 8, 27, 17},
            .shadow = 1,
            .hole_size = 2,
            .hole_first = 3,
            .hole_pitch = 4,
            .hole_inset = 2,
            .frame_first = 2,
            .frame_width = 6,
            .frame_gap = 2,
            .frame_inset = 5,
            .marker = {26, 9, 4, 9},
            .roundness = 0,
        },
        {
            .size = 48,
            .slab = {3, 7, 44, 39},
            .outline = 2,
            .highlight = 2,
            .front = 5,
            .strip = {-3, 12, 40, 25},
            .shadow = 2,
            .hole_size = 3,
            .hole_first = 5,
            .hole_pitch = 6,
            .hole_inset = 3,
            .frame_first = 3,
            .frame_width = 9,
            .frame_gap = 3,
            .frame_inset = 7,
            .marker = {39, 14, 5, 13},
            .roundness = 1.5,
        },
        {
            .size = 128,
            .slab = {8, 20, 116, 102},
            .outline = 4,
            .highlight = 4,
            .front = 12,
            .strip = {-8, 32, 108, 68},
            .shadow = 4,
            .hole_size = 8,
            .hole_first = 12,
            .hole_pitch = 16,
            .hole_inset = 8,
            .frame_first = 8,
            .frame_width = 24,
            .frame_gap = 8,
            .frame_inset = 20,
            .marker = {105, 36, 12, 34},
            .roundness = 4,
        },
    };
    for (const Layout& layout : layouts) {
        if (layout.size == size) return layout;
    }
    throw std::invalid_argument("no icon layout for size " + std::to_string(size));
}

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

void fill_box(cairo_t* cr, const Box& box, Colour colour, double roundness = 0) {
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    if (roundness <= 0) {
        cairo_rectangle(cr, box.x, box.y, box.width, box.height);
    } else {
        constexpr double quarter = std::numbers::pi / 2;
        const double r = roundness;
        const double x0 = box.x, y0 = box.y, x1 = box.right(), y1 = box.bottom();
        cairo_new_sub_path(cr);
        cairo_arc(cr, x1 - r, y0 + r, r, -quarter, 0);
        cairo_arc(cr, x1 - r, y1 - r, r, 0, quarter);
        cairo_arc(cr, x0 + r, y1 - r, r, quarter, 2 * quarter);
        cairo_arc(cr, x0 + r, y0 + r, r, 2 * quarter, 3 * quarter);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
}

Box shrunk(const Box& box, int by) {
    return {box.x + by, box.y + by, box.width - 2 * by, box.height - 2 * by};
}

void draw_slab(cairo_t* cr, const Layout& l) {
    fill_box(cr, l.slab, slab_outline, l.roundness * 2);
    const Box inside = shrunk(l.slab, l.outline);
    fill_box(cr, inside, slab_top, l.roundness);
    fill_box(cr, {inside.x, inside.y, inside.width, l.highlight}, slab_highlight);
    fill_box(cr, {inside.x, inside.bottom() - l.front, inside.width, l.front}, slab_front);
}

// The strip's shadow falls on the slab's upper face only. At 16 pixels there is none: a
// shadow row there would merge with the slab's front face.
void draw_strip_shadow(cairo_t* cr, const Layout& l) {
    if (l.shadow == 0) return;
    const Box inside = shrunk(l.slab, l.outline);
    const int face_bottom = inside.bottom() - l.front;
    Box shadow{l.strip.x + l.shadow, l.strip.y + l.shadow, l.strip.width, l.strip.height};
    shadow.height = std::min(shadow.bottom(), face_bottom) - shadow.y;
    fill_box(cr, shadow, strip_shadow, l.roundness);
}

void draw_sprocket_holes(cairo_t* cr, const Layout& l) {
    const int top_row = l.strip.y + l.hole_inset;
    const int bottom_row = l.strip.bottom() - l.hole_inset - l.hole_size;
    // Holes only a few pixels across stay square: rounding them would only blur them.
    const double round = l.hole_size >= 6 ? l.roundness / 2 : 0;
    for (int x = l.strip.x + l.hole_first; x + l.hole_size < l.strip.right(); x += l.hole_pitch) {
        fill_box(cr, {x, top_row, l.hole_size, l.hole_size}, sprocket_hole, round);
        fill_box(cr, {x, bottom_row, l.hole_size, l.hole_size}, sprocket_hole, round);
    }
}

// Frames alternate orange and white from the left; the last one stops short of the strip's end.
void draw_frames(cairo_t* cr, const Layout& l) {
    const int top = l.strip.y + l.frame_inset;
    const int height = l.strip.height - 2 * l.frame_inset;
    const int end = l.strip.right() - l.frame_gap;
    bool orange = true;
    for (int x = l.strip.x + l.frame_first; x < end; x += l.frame_width + l.frame_gap) {
        const int width = std::min(l.frame_width, end - x);
        fill_box(cr, {x, top, width, height}, orange ? orange_frame : white_frame, l.roundness / 2);
        orange = !orange;
    }
}

// A blue key with a darker edge below (and, from 32 pixels on, to the right) and a glint.
void draw_marker(cairo_t* cr, const Layout& l) {
    const double round = std::min(l.roundness, l.marker.width / 4.0);
    fill_box(cr, l.marker, marker_dark, round);
    const int right_edge = l.size >= 32 ? std::max(1, l.marker.width / 4) : 0;
    const int bottom_edge = std::max(1, l.marker.height / 5);
    const Box face{l.marker.x, l.marker.y, l.marker.width - right_edge,
                   l.marker.height - bottom_edge};
    fill_box(cr, face, marker_blue, round);
    if (l.size >= 32) {
        const int glint = std::max(1, l.marker.width / 4);
        fill_box(cr, {face.x + glint, face.y + glint, glint, glint * 2}, marker_light);
    }
}

Image to_image(cairo_surface_t* surface, int size) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    Image image{size, std::vector<std::uint8_t>(std::size_t(size) * size * 4)};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // Cairo keeps native-endian 32-bit words of premultiplied ARGB.
            std::uint32_t word;
            std::memcpy(&word, data + y * stride + x * 4, 4);
            const unsigned alpha = word >> 24;
            auto straight = [alpha](unsigned premultiplied) {
                return static_cast<std::uint8_t>(
                    alpha == 0 ? 0 : (premultiplied * 255 + alpha / 2) / alpha);
            };
            std::uint8_t* out = &image.rgba[(std::size_t(y) * size + x) * 4];
            out[0] = straight((word >> 16) & 0xFF);
            out[1] = straight((word >> 8) & 0xFF);
            out[2] = straight(word & 0xFF);
            out[3] = static_cast<std::uint8_t>(alpha);
        }
    }
    return image;
}

}  // namespace

Image draw_icon(int size) {
    const Layout& layout = layout_for(size);
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size),
                    cairo_surface_destroy);
    Context cr(cairo_create(surface.get()), cairo_destroy);
    // Small sizes are drawn on whole pixels without smoothing, so that no colour bleeds into
    // its neighbours and the palette version keeps every pixel exact.
    if (layout.roundness <= 0) cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);

    draw_slab(cr.get(), layout);
    draw_strip_shadow(cr.get(), layout);
    fill_box(cr.get(), layout.strip, film, layout.roundness / 2);
    draw_sprocket_holes(cr.get(), layout);
    draw_frames(cr.get(), layout);
    draw_marker(cr.get(), layout);
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error(cairo_status_to_string(cairo_status(cr.get())));
    return to_image(surface.get(), size);
}

}  // namespace make_icon
