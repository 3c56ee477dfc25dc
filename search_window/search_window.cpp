#include "search_window/search_window.h"

#include "app/resources.h"
#include "app/routines.h"
#include "build_config.h"
#include "runtime/runtime.h"
#include "search_window/texts.h"
#include "usage_window/usage_window.h"

namespace search_window {
namespace {

using rt::ControlKind;
using rt::Rgb;

constexpr const char* kFilmNameBox = "编辑框1";
constexpr const char* kResultsView = "超文本浏览框1";

constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 128, 0};
constexpr rt::LinkColours kSiteLinkColours{
    .normal = kBlue, .visited = {128, 0, 0}, .hover = {128, 0, 128}};

// In stacking order, the first on top; Tab visits the tab stops bottom-up.
// clang-format off
constexpr rt::ControlDescription kControls[] = {
    {.kind = ControlKind::button, .name = "按钮2", .left = 440, .top = 8, .width = 72, .height = 24, .tab_stop = true,
     .text = "使用说明", .clicked = usage_window::usage_action},
    {.kind = ControlKind::label, .name = "标签2", .left = 728, .top = 8, .width = 48, .height = 24,
     .text = "BY:Pellin ", .text_colour = kBlue},
    {.kind = ControlKind::hyperlink_box, .name = "超级链接框1", .left = 592, .top = 8, .width = 128, .height = 24,
     .text = TAVIK_SITE_ADDRESS, .web_address = TAVIK_SITE_ADDRESS, .link_colours = kSiteLinkColours},
    {.kind = ControlKind::label, .name = "标签1", .left = 528, .top = 8, .width = 56, .height = 24,
     .text = "官方论坛：", .text_colour = kRed},
    {.kind = ControlKind::transparent_label, .name = "透明标签1", .left = 8, .top = 8, .width = 160, .height = 24,
     .text = "请输入需要搜索电影的名称：\r\n搜索出来的资源支持在线观看", .text_colour = kGreen},
    {.kind = ControlKind::web_view, .name = kResultsView, .left = 8, .top = 40, .width = 504, .height = 144,
     .tab_stop = true},
    {.kind = ControlKind::button, .name = "按钮1", .left = 360, .top = 8, .width = 72, .height = 24, .tab_stop = true,
     .text = "搜索", .clicked = search_action},
    {.kind = ControlKind::edit_box, .name = kFilmNameBox, .left = 168, .top = 8, .width = 184, .height = 24,
     .tab_stop = true},
};
// clang-format on

}  // namespace

const char* const search_address_prefix = "http://" TAVIK_SEARCH_HOST "/so.asp?k=";

const rt::WindowDescription description{
    .title = "Tavik高清在线电影搜索工具  " TAVIK_SITE_HOST,
    .icon = app::program_icon,
    .width = 529,
    .height = 223,
    .created = app::apply_program_style,
    .size_changed = resize_action,
    .controls = kControls,
};

void resize_action() {
    rt::set_width(description, kResultsView, rt::client_width(description));
    rt::set_height(description, kResultsView, rt::client_height(description));
}

void search_action() {
    rt::Text film_name = rt::read_text(description, kFilmNameBox);
    rt::Text query_value = encode_query_value(film_name.get());
    film_name.reset();
    rt::Text search_address = join_texts(search_address_prefix, query_value.get());
    query_value.reset();
    rt::write_address(description, kResultsView, search_address.get());
}

}  // namespace search_window
