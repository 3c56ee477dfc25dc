#include "narrow_window.h"

#include <stdexcept>

namespace usage_pictures {
namespace {

// Our window as the window manager frames it; see captures/window.png.
constexpr int kTitleBarHeight = 20;
constexpr int kTitleBarIconEnd = 30;         // icon at the left of the title bar
constexpr int kTitleBarButtonsWidth = 60;    // minimise, maximise, close and the frame edge
constexpr int kClientKeptLeftEnd = 437;      // just right of the "搜索" button
constexpr int kClientRemovedRightEnd = 512;  // just right of the "使用说明" button

// Copies the columns [source_left, source_left + width) of every row in [top, bottom) to the
// columns that start at target_left.
void copy_columns(cairo_t* target, cairo_surface_t* source, int source_left, int target_left,
                  int width, int top, int bottom) {
    cairo_save(target);
    cairo_rectangle(target, target_left, top, width, bottom - top);
    cairo_clip(target);
    cairo_set_source_surface(target, source, target_left - source_left, 0);
    cairo_paint(target);
    cairo_restore(target);
}

}  // namespace

Surface narrow_window(const WindowCapture& capture, int narrow_width) {
    const int capture_width = cairo_image_surface_get_width(capture.image);
    const int height = cairo_image_surface_get_height(capture.image);
    const int removed = capture.frame_width - narrow_width;
    if (removed < kClientRemovedRightEnd - kClientKeptLeftEnd)
        throw std::invalid_argument("the narrowed window would still show part of 使用说明");
    const int width = capture_width - removed;

    Surface narrowed(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    Context target = draw_on(narrowed.get());
    cairo_t* context = target.get();
    cairo_surface_t* source = capture.image;

    // Title bar.
    const int buttons_left = capture.frame_width - kTitleBarButtonsWidth;
    copy_columns(context, source, 0, 0, kTitleBarIconEnd, 0, kTitleBarHeight);
    copy_columns(context, source, kTitleBarIconEnd + removed / 2, kTitleBarIconEnd,
                 buttons_left - removed - kTitleBarIconEnd, 0, kTitleBarHeight);
    copy_columns(context, source, buttons_left, buttons_left - removed,
                 capture_width - buttons_left, 0, kTitleBarHeight);

    // Client area, frame edges and the desktop strip below the title bar.
    const int right_part_source = kClientKeptLeftEnd + removed;
    copy_columns(context, source, 0, 0, kClientKeptLeftEnd, kTitleBarHeight, height);
    copy_columns(context, source, right_part_source, kClientKeptLeftEnd,
                 capture_width - right_part_source, kTitleBarHeight, height);
    return narrowed;
}

}  // namespace usage_pictures
