#include "annotations.h"

#include <pango/pangocairo.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

namespace usage_pictures {
namespace {

struct Red {
    static constexpr double r = 230 / 255.0, g = 0, b = 0;
};

constexpr double kCalloutBorder = 3;
constexpr double kCalloutCornerRadius = 6;
constexpr double kArrowWidth = 3;
constexpr double kArrowHeadLength = 12;
constexpr double kArrowHeadHalfWidth = 6.5;
constexpr double kMarkerRadius = 10;
constexpr std::string_view kCalloutFont = "WenQuanYi Zen Hei, AR PL UMing CN 12px";
constexpr std::string_view kMarkerFont = "WenQuanYi Zen Hei, AR PL UMing CN Bold 14px";

void set_red(cairo_t* context) {
    cairo_set_source_rgb(context, Red::r, Red::g, Red::b);
}

struct LayoutRelease {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
struct FontRelease {
    void operator()(PangoFontDescription* font) const { pango_font_description_free(font); }
};
using Layout = std::unique_ptr<PangoLayout, LayoutRelease>;

Layout make_layout(cairo_t* context, std::string_view text, std::string_view font_name) {
    Layout layout(pango_cairo_create_layout(context));
    std::unique_ptr<PangoFontDescription, FontRelease> font(
        pango_font_description_from_string(std::string(font_name).c_str()));
    pango_layout_set_font_description(layout.get(), font.get());
    pango_layout_set_text(layout.get(), text.data(), int(text.size()));
    return layout;
}

// Draws the text with its ink (not its line box) centred on the point, so that digits and
// CJK text sit in the middle of their shapes whatever the font's ascent and descent.
void show_text_centred(cairo_t* context, std::string_view text, std::string_view font_name,
                       Point centre) {
    Layout layout = make_layout(context, text, font_name);
    PangoRectangle ink;
    pango_layout_get_pixel_extents(layout.get(), &ink, nullptr);
    cairo_move_to(context, std::round(centre.x - ink.x - ink.width / 2.0),
                  std::round(centre.y - ink.y - ink.height / 2.0));
    pango_cairo_show_layout(context, layout.get());
}

void rounded_rectangle(cairo_t* context, double left, double top, double right, double bottom,
                       double radius) {
    constexpr double kQuarter = std::numbers::pi / 2;
    cairo_new_sub_path(context);
    cairo_arc(context, right - radius, top + radius, radius, -kQuarter, 0);
    cairo_arc(context, right - radius, bottom - radius, radius, 0, kQuarter);
    cairo_arc(context, left + radius, bottom - radius, radius, kQuarter, 2 * kQuarter);
    cairo_arc(context, left + radius, top + radius, radius, 2 * kQuarter, 3 * kQuarter);
    cairo_close_path(context);
}

}  // namespace

void draw_callout(cairo_t* context, PixelBox box, std::string_view text) {
    cairo_save(context);
    // The border is stroked along its middle line so that its outer edge is the box's edge.
    const double inset = kCalloutBorder / 2;
    rounded_rectangle(context, box.left + inset, box.top + inset, box.right + 1 - inset,
                      box.bottom + 1 - inset, kCalloutCornerRadius);
    cairo_set_source_rgb(context, 1, 1, 1);
    cairo_fill_preserve(context);
    set_red(context);
    cairo_set_line_width(context, kCalloutBorder);
    cairo_stroke(context);
    cairo_set_source_rgb(context, 0, 0, 0);
    show_text_centred(context, text, kCalloutFont,
                      {(box.left + box.right + 1) / 2.0, (box.top + box.bottom + 1) / 2.0});
    cairo_restore(context);
}

void draw_arrow(cairo_t* context, Point tail, Point tip) {
    const double length = std::hypot(tip.x - tail.x, tip.y - tail.y);
    const Point along{(tip.x - tail.x) / length, (tip.y - tail.y) / length};
    const Point across{-along.y, along.x};
    const Point head_base{tip.x - along.x * kArrowHeadLength, tip.y - along.y * kArrowHeadLength};

    cairo_save(context);
    set_red(context);
    cairo_set_line_width(context, kArrowWidth);
    cairo_set_line_cap(context, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(context, tail.x, tail.y);
    // The shaft stops inside the head so that its thick end does not blunt the point.
    cairo_line_to(context, head_base.x + along.x * 2, head_base.y + along.y * 2);
    cairo_stroke(context);

    cairo_move_to(context, tip.x, tip.y);
    cairo_line_to(context, head_base.x + across.x * kArrowHeadHalfWidth,
                  head_base.y + across.y * kArrowHeadHalfWidth);
    cairo_line_to(context, head_base.x - across.x * kArrowHeadHalfWidth,
                  head_base.y - across.y * kArrowHeadHalfWidth);
    cairo_close_path(context);
    cairo_fill(context);
    cairo_restore(context);
}

void draw_marker(cairo_t* context, Point centre, std::string_view digit) {
    cairo_save(context);
    set_red(context);
    cairo_arc(context, centre.x, centre.y, kMarkerRadius, 0, 2 * std::numbers::pi);
    cairo_fill(context);
    cairo_set_source_rgb(context, 1, 1, 1);
    show_text_centred(context, digit, kMarkerFont, centre);
    cairo_restore(context);
}

void draw_frame(cairo_t* context, PixelBox box, double thickness) {
    cairo_save(context);
    set_red(context);
    const double inset = thickness / 2;
    cairo_rectangle(context, box.left + inset, box.top + inset,
                    box.right + 1 - box.left - thickness, box.bottom + 1 - box.top - thickness);
    cairo_set_line_width(context, thickness);
    cairo_set_line_join(context, CAIRO_LINE_JOIN_MITER);
    cairo_stroke(context);
    cairo_restore(context);
}

Point marker_rim_towards(Point centre, Point from) {
    const double distance = std::hypot(from.x - centre.x, from.y - centre.y);
    const double rim = kMarkerRadius + 1;
    return {centre.x + (from.x - centre.x) / distance * rim,
            centre.y + (from.y - centre.y) / distance * rim};
}

}  // namespace usage_pictures
