#include "usage_pictures.h"

#include "annotations.h"
#include "narrow_window.h"
#include "torn_paper.h"

namespace usage_pictures {

Captures Captures::load(const std::filesystem::path& folder) {
    return {load_png(folder / "window.png"), load_png(folder / "results.png"),
            load_png(folder / "results-opened.png")};
}

namespace {

// In the captures: our window's frame is 529 pixels wide, and the page captures start at the
// web view's top-left corner, where the page has rows 29 pixels apart from y 54 on.
constexpr int kCapturedFrameWidth = 529;

}  // namespace

Surface compose_search_picture(const Captures& captures) {
    // The window is shown 454 pixels wide without "使用说明", its frame's top-left corner at
    // (9, 26): that puts the right end of "搜索" at x 440 and the maximise box under x 436.
    constexpr int kNarrowWidth = 454;
    Surface window = narrow_window({captures.window.get(), kCapturedFrameWidth}, kNarrowWidth);
    Surface picture = make_white_picture(484, 247);
    lay_torn_screenshot(picture.get(), window.get(),
                        {.left = 9,
                         .top = 26,
                         .source_x = 0,
                         .source_y = 0,
                         .width = 468,
                         .height = 213,
                         .tear_seed = 1});

    Context context = draw_on(picture.get());
    cairo_t* c = context.get();
    const Point edit_box_marker{228, 66};
    const Point search_marker{440, 68};
    const Point maximise_marker{436, 18};

    const PixelBox name_callout{28, 91, 194, 114};
    draw_callout(c, name_callout, "输入你需要搜索的电影名称");
    const Point name_tail{name_callout.right - 10.0, name_callout.top + 1.0};
    draw_arrow(c, name_tail, marker_rim_towards(edit_box_marker, name_tail));

    const PixelBox search_callout{349, 110, 419, 133};
    draw_callout(c, search_callout, "点击搜索");
    const double search_arrow_x = (search_callout.left + search_callout.right + 1) / 2.0;
    draw_arrow(c, {search_arrow_x, search_callout.top + 1.0}, {search_arrow_x, 77});

    const PixelBox maximise_callout{213, 149, 319, 172};
    draw_callout(c, maximise_callout, "点击窗口最大化");
    // The maximise box is at x 430–441, y 30–41; the arrow ends at its lower left corner.
    draw_arrow(c, {maximise_callout.right - 12.0, maximise_callout.top + 1.0}, {430, 45});

    draw_marker(c, edit_box_marker, "1");
    draw_marker(c, search_marker, "2");
    draw_marker(c, maximise_marker, "3");
    return picture;
}

Surface compose_expand_picture(const Captures& captures) {
    // From the page's left edge and y 58: the first row is cut off at the top and the second
    // row's "+" lies at x 36–46, y 33–43.
    Surface picture = make_white_picture(439, 298);
    lay_torn_screenshot(picture.get(), captures.results.get(),
                        {.left = 0,
                         .top = 0,
                         .source_x = 0,
                         .source_y = 58,
                         .width = 431,
                         .height = 289,
                         .tear_seed = 2});

    Context context = draw_on(picture.get());
    cairo_t* c = context.get();
    const PixelBox expander_frame{20, 20, 57, 55};
    draw_frame(c, expander_frame, 3);
    const PixelBox callout{182, 48, 365, 71};
    draw_callout(c, callout, "点开+号就可以看到播放地址了");
    draw_arrow(c, {callout.left + 1.0, (callout.top + callout.bottom + 1) / 2.0},
               {expander_frame.right + 3.0, 43});
    return picture;
}

Surface compose_play_picture(const Captures& captures) {
    // From y 32 of the page: the column heading is cut off at the top, the opened row's label
    // and addresses lie inside y 88–194 and the next row's "+" at y 210–220, so the frame's
    // bottom edge runs just under it. The tear cuts the grid's last column, as if it ran on.
    Surface picture = make_white_picture(445, 247);
    lay_torn_screenshot(picture.get(), captures.results_with_plays.get(),
                        {.left = 0,
                         .top = 0,
                         .source_x = 0,
                         .source_y = 32,
                         .width = 424,
                         .height = 237,
                         .tear_seed = 3});

    Context context = draw_on(picture.get());
    cairo_t* c = context.get();
    const PixelBox addresses_frame{19, 82, 413, 226};
    draw_frame(c, addresses_frame, 4);
    const PixelBox callout{146, 18, 420, 41};
    draw_callout(c, callout, "点开后如下播放地址随便点开个地址播放就OK了");
    draw_arrow(c, {callout.left + 44.0, callout.bottom + 0.0},
               {callout.left + 14.0, addresses_frame.top + 2.0});
    return picture;
}

}  // namespace usage_pictures
