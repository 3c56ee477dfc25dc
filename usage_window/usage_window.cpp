#include "usage_window/usage_window.h"

#include "app/resources.h"
#include "build_config.h"
#include "program_resources.h"
#include "runtime/runtime.h"

namespace usage_window {
namespace {

using rt::ControlKind;

constexpr rt::LinkColours kForumLinkColours{
    .normal = {0, 0, 255}, .visited = {0, 128, 0}, .hover = {192, 96, 0}};
constexpr rt::Font kSongTypeface{.family = "AR PL UMing CN", .pixel_height = 14};

// In stacking order, the first on top: the right picture lies over the other two.
// clang-format off
const rt::ControlDescription kControls[] = {
    {.kind = ControlKind::label, .name = "标签1", .left = 696, .top = 416, .width = 56, .height = 24,
     .text = "BY：Pellin", .text_colour = {0, 128, 0}},
    {.kind = ControlKind::hyperlink_box, .name = "超级链接框1", .left = 464, .top = 416, .width = 232, .height = 24,
     .text = "官方论坛：" TAVIK_SITE_ADDRESS, .font = kSongTypeface, .web_address = TAVIK_SITE_ADDRESS,
     .link_colours = kForumLinkColours},
    {.kind = ControlKind::picture_box, .name = "图片框3", .left = 376, .top = 152, .width = 464, .height = 232,
     .picture = resources::usage_picture_3_jpg},
    {.kind = ControlKind::picture_box, .name = "图片框2", .left = 0, .top = 240, .width = 480, .height = 304,
     .picture = resources::usage_picture_2_jpg},
    {.kind = ControlKind::picture_box, .name = "图片框1", .left = -8, .top = -8, .width = 480, .height = 248,
     .picture = resources::usage_picture_1_jpg},
};
// clang-format on

}  // namespace

const rt::WindowDescription description{
    .title = "使用说明",
    .icon = app::program_icon,
    .width = 833,
    .height = 577,
    .minimise_box = false,
    .maximise_box = false,
    .controls = kControls,
};

void usage_action() {
    rt::load_window(description, true);
}

}  // namespace usage_window
