#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "search_window/search_window.h"

namespace {

using rt::testing::ControlView;
using rt::testing::focused_control;
using rt::testing::press_key;
using search_window::description;

class SearchWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        rt::load_startup_window(description);
        rt::testing::process_pending_events();
    }
    void TearDown() override {
        if (rt::testing::window_exists(description)) rt::testing::request_close(description);
    }

    static ControlView control(const std::string& name) {
        for (const ControlView& view : rt::testing::controls(description)) {
            if (view.name == name) return view;
        }
        ADD_FAILURE() << "no control " << name;
        return {};
    }
};

struct ExpectedControl {
    const char* name;
    int left, top, width, height;
    int paint_position;  // 7 is the top of the stack
    bool tab_stop;
    const char* text;
    rt::Rgb colour;
};

TEST_F(SearchWindow, ControlsStandAtTheirPlacesWithTheirTextsAndColours) {
    const int client_width = rt::client_width(description);
    const int client_height = rt::client_height(description);
    const ExpectedControl expected[] = {
        {"按钮2", 440, 8, 72, 24, 7, true, "使用说明", {}},
        {"标签2", 728, 8, 48, 24, 6, false, "BY:Pellin ", {0, 0, 255}},
        {"超级链接框1", 592, 8, 128, 24, 5, false, "http://tavik.example", {0, 0, 255}},
        {"标签1", 528, 8, 56, 24, 4, false, "官方论坛：", {255, 0, 0}},
        {"透明标签1",
         8,
         8,
         160,
         24,
         3,
         false,
         "请输入需要搜索电影的名称：\r\n搜索出来的资源支持在线观看",
         {0, 128, 0}},
        {"超文本浏览框1", 8, 40, client_width, client_height, 2, true, "", {}},
        {"按钮1", 360, 8, 72, 24, 1, true, "搜索", {}},
        {"编辑框1", 168, 8, 184, 24, 0, true, "", {}},
    };
    std::vector<ControlView> views = rt::testing::controls(description);
    ASSERT_EQ(views.size(), std::size(expected));
    for (std::size_t i = 0; i < views.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        const ControlView& view = views[i];
        EXPECT_EQ(view.name, expected[i].name);
        EXPECT_EQ((std::vector{view.left, view.top, view.width, view.height}),
                  (std::vector{expected[i].left, expected[i].top, expected[i].width,
                               expected[i].height}));
        EXPECT_EQ(view.paint_position, expected[i].paint_position);
        EXPECT_EQ(view.can_focus, expected[i].tab_stop);
        EXPECT_EQ(view.text, expected[i].text);
        EXPECT_EQ(view.text_colour, expected[i].colour);
        EXPECT_TRUE(view.visible);
    }
}

TEST_F(SearchWindow, WebViewIsClientSizedBeforeTheWindowIsFirstShown) {
    ControlView web_view = control("超文本浏览框1");
    EXPECT_GT(web_view.width, 504);
    EXPECT_GT(web_view.height, 144);
    EXPECT_EQ(web_view.width, rt::client_width(description));
    EXPECT_EQ(web_view.height, rt::client_height(description));
}

// The engine is not waited for before the window appears, nor left until the
// first search: it arrives once the window is drawn, with no address written.
TEST_F(SearchWindow, WebViewTakesTheEngineOnceTheWindowIsDrawn) {
    EXPECT_TRUE(rt::testing::wait_until(
        [] { return rt::testing::web_view_shows_pages(description, "超文本浏览框1"); }, 30000));
    EXPECT_EQ(control("超文本浏览框1").text, "");
}

TEST_F(SearchWindow, MinimisingShrinksTheWebViewToNothingAndRestoringGrowsItBack) {
    const int width = rt::client_width(description);
    const int height = rt::client_height(description);
    auto web_view_is = [](int w, int h) {
        return rt::testing::wait_until([&] {
            ControlView view = control("超文本浏览框1");
            return view.width == w && view.height == h;
        });
    };
    rt::testing::minimise(description, true);
    EXPECT_TRUE(web_view_is(0, 0));
    EXPECT_EQ(rt::client_width(description), 0);
    rt::testing::minimise(description, false);
    EXPECT_TRUE(web_view_is(width, height));
}

TEST_F(SearchWindow, FocusStartsInTheEditBoxAndTabCyclesBottomUp) {
    EXPECT_EQ(focused_control(description), "编辑框1");
    // The web view offers Tab to its (empty) page first, which hands it back.
    auto focus_reaches = [](const char* name) {
        return rt::testing::wait_until([name] { return focused_control(description) == name; });
    };
    for (const char* next : {"按钮1", "超文本浏览框1", "按钮2", "编辑框1"}) {
        press_key(description, "Tab");
        EXPECT_TRUE(focus_reaches(next)) << next << ", not " << focused_control(description);
    }
    for (const char* previous : {"按钮2", "超文本浏览框1", "按钮1", "编辑框1"}) {
        press_key(description, "ISO_Left_Tab", rt::testing::shift);
        EXPECT_TRUE(focus_reaches(previous))
            << previous << ", not " << focused_control(description);
    }
}

TEST_F(SearchWindow, EscapeWithAModifierEnterAndF1DoNothing) {
    rt::testing::set_edit_text(description, "编辑框1", "Heat");
    for (unsigned modifier : {rt::testing::shift, rt::testing::control, rt::testing::alt}) {
        press_key(description, "Escape", modifier);
    }
    press_key(description, "Return");
    press_key(description, "KP_Enter");
    press_key(description, "F1");
    EXPECT_TRUE(rt::testing::window_exists(description));
    EXPECT_EQ(control("超文本浏览框1").text, "") << "Enter must not search";
}

TEST_F(SearchWindow, EscapeClosesTheWindow) {
    press_key(description, "Escape");
    EXPECT_FALSE(rt::testing::window_exists(description));
}

TEST_F(SearchWindow, SearchLoadsThePrefixJoinedWithTheEncodedName) {
    struct Case {
        const char* typed;
        std::string query;
    } cases[] = {
        {"", ""},
        {" Tom & Jerry #7 ", "%20Tom%20%26%20Jerry%20%237%20"},
        {"卧虎 100%+", "%CE%D4%BB%A2%20100%25%2B"},
    };
    for (const Case& c : cases) {
        rt::testing::set_edit_text(description, "编辑框1", c.typed);
        rt::testing::click(description, "按钮1");
        EXPECT_EQ(control("超文本浏览框1").text,
                  std::string(search_window::search_address_prefix) + c.query)
            << c.typed;
    }
}

}  // namespace
