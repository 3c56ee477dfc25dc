#include "torn_paper.h"

#include "cairo_handles.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace usage_pictures {
namespace {

constexpr double kShadowOffset = 3;
constexpr int kShadowBlurRadius = 2;
constexpr int kShadowBlurPasses = 3;  // three box blurs come close to a Gaussian one
constexpr double kShadowStrength = 0.55;
constexpr double kShadowGrey = 0.4;

struct Point {
    double x;
    double y;
};

// The tear: alternating shallow and deep notches a few pixels apart. minstd_rand's sequence
// is fixed by the C++ standard, so the same seed tears the same way everywhere.
class Tear {
  public:
    explicit Tear(unsigned seed) : numbers_(seed) {}

    double next_step() { return 5 + uniform() * 4; }
    double next_depth() {
        deep_ = !deep_;
        return deep_ ? 3 + uniform() * 2.5 : uniform() * 1.2;
    }

  private:
    double uniform() {
        return double(numbers_() - numbers_.min()) / (numbers_.max() - numbers_.min());
    }

    std::minstd_rand numbers_;
    bool deep_ = false;
};

std::vector<Point> torn_outline(const PaperPlacement& placement) {
    const double left = placement.left;
    const double top = placement.top;
    const double right = placement.left + placement.width;
    const double bottom = placement.top + placement.height;
    Tear tear(placement.tear_seed);

    std::vector<Point> outline{{left, top}};
    for (double y = top; y < bottom; y += tear.next_step())
        outline.push_back({right - tear.next_depth(), y});
    outline.push_back({right - tear.next_depth(), bottom - tear.next_depth()});
    for (double x = right - tear.next_step(); x > left; x -= tear.next_step())
        outline.push_back({x, bottom - tear.next_depth()});
    outline.push_back({left, bottom - tear.next_depth()});
    return outline;
}

void trace(cairo_t* context, const std::vector<Point>& outline, Point offset) {
    cairo_new_path(context);
    for (const Point& point : outline)
        cairo_line_to(context, point.x + offset.x, point.y + offset.y);
    cairo_close_path(context);
}

// One pass of a box blur along rows (step 1) or columns (step = stride) of an 8-bit mask.
void box_blur_pass(std::vector<std::uint8_t>& mask, int length, int lines, int along, int across) {
    std::vector<std::uint8_t> line(std::size_t(length), 0);
    for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < length; ++i)
            line[std::size_t(i)] = mask[std::size_t(l * across + i * along)];
        for (int i = 0; i < length; ++i) {
            int sum = 0;
            for (int k = i - kShadowBlurRadius; k <= i + kShadowBlurRadius; ++k)
                sum += line[std::size_t(std::clamp(k, 0, length - 1))];
            mask[std::size_t(l * across + i * along)] =
                std::uint8_t(sum / (2 * kShadowBlurRadius + 1));
        }
    }
}

// The shadow's coverage: the sheet's outline, moved down and right and blurred.
Surface shadow_mask(int width, int height, const std::vector<Point>& outline) {
    Surface mask(cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
    {
        Context context = draw_on(mask.get());
        trace(context.get(), outline, {kShadowOffset, kShadowOffset});
        cairo_set_source_rgba(context.get(), 0, 0, 0, kShadowStrength);
        cairo_fill(context.get());
    }
    cairo_surface_flush(mask.get());
    const int stride = cairo_image_surface_get_stride(mask.get());
    unsigned char* data = cairo_image_surface_get_data(mask.get());
    std::vector<std::uint8_t> pixels(data, data + std::size_t(stride) * std::size_t(height));
    for (int pass = 0; pass < kShadowBlurPasses; ++pass) {
        box_blur_pass(pixels, width, height, 1, stride);
        box_blur_pass(pixels, height, width, stride, 1);
    }
    std::copy(pixels.begin(), pixels.end(), data);
    cairo_surface_mark_dirty(mask.get());
    return mask;
}

}  // namespace

void lay_torn_screenshot(cairo_surface_t* picture, cairo_surface_t* screenshot,
                         const PaperPlacement& placement) {
    const std::vector<Point> outline = torn_outline(placement);
    Surface shadow = shadow_mask(cairo_image_surface_get_width(picture),
                                 cairo_image_surface_get_height(picture), outline);
    Context context = draw_on(picture);
    cairo_set_source_rgb(context.get(), kShadowGrey, kShadowGrey, kShadowGrey);
    cairo_mask_surface(context.get(), shadow.get(), 0, 0);

    trace(context.get(), outline, {0, 0});
    cairo_clip(context.get());
    cairo_set_source_surface(context.get(), screenshot, placement.left - placement.source_x,
                             placement.top - placement.source_y);
    cairo_paint(context.get());
}

}  // namespace usage_pictures
