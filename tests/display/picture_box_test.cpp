#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "program_resources.h"
#include "runtime/face_colour.h"
#include "runtime/runtime.h"
#include "runtime/testing.h"

// A picture box whose picture cannot be decoded shows the face colour only,
// and the window around it works as usual.
namespace {

namespace t = rt::testing;
using rt::ControlKind;

const std::span<const unsigned char> kWhole = resources::usage_picture_1_jpg;
const unsigned char kNotAPicture[] = {'n', 'o', 't', ' ', 'J', 'P', 'E', 'G'};

rt::ControlDescription picture_box(const char* name, int left, int top,
                                   std::span<const unsigned char> picture) {
    return {.kind = ControlKind::picture_box,
            .name = name,
            .left = left,
            .top = top,
            .width = 100,
            .height = 100,
            .picture = picture};
}

const rt::ControlDescription kPictureBoxes[] = {
    picture_box("图片框1", 0, 0, kWhole.first(kWhole.size() / 2)),
    picture_box("图片框2", 100, 0, kWhole.first(200)),  // its headers only
    picture_box("图片框3", 200, 0, kNotAPicture),
    picture_box("图片框4", 300, 0, {}),
    picture_box("图片框5", 0, 100, kWhole),
};

const rt::WindowDescription kPictures{
    .title = "pictures", .width = 420, .height = 260, .controls = kPictureBoxes};

TEST(PictureBox, UndecodablePictureLeavesTheFaceColourOnly) {
    rt::load_window(kPictures, false);
    t::process_pending_events();
    const struct {
        const char* name;
        bool decodes;
    } expected[] = {
        {"图片框1", false}, {"图片框2", false}, {"图片框3", false},
        {"图片框4", false}, {"图片框5", true},
    };
    std::vector<t::ControlView> views = t::controls(kPictures);
    ASSERT_EQ(views.size(), std::size(expected));
    for (std::size_t i = 0; i < views.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        const t::ControlView& box = views[i];
        EXPECT_EQ(box.name, expected[i].name);
        EXPECT_EQ(box.text, expected[i].decodes ? "picture" : "");
        if (!expected[i].decodes) {
            EXPECT_EQ(t::pixel_at(kPictures, box.left + box.width / 2, box.top + box.height / 2),
                      rt::face_colour());
        }
    }
    t::request_close(kPictures);
    EXPECT_FALSE(t::window_exists(kPictures));
}

}  // namespace
