#include <gtest/gtest.h>

#include <string>

#include "runtime/runtime.h"
#include "runtime/testing.h"
#include "search_window/search_window.h"
#include "usage_window/usage_window.h"

namespace {

namespace t = rt::testing;
const rt::WindowDescription& search = search_window::description;
const rt::WindowDescription& usage = usage_window::description;

class UsageWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        rt::load_startup_window(search);
        t::process_pending_events();
    }
    void TearDown() override {
        if (t::window_exists(usage)) t::request_close(usage);
        if (t::window_exists(search)) t::request_close(search);
    }
};

// Clicks "使用说明" and, while the usage window is open (the click has not
// returned), runs `while_open`; it must close the usage window.
void open_usage_window(const std::function<void()>& while_open) {
    bool returned = false;
    std::function<void()> when_open = [&] {
        if (!t::window_exists(usage)) return t::run_after(10, when_open);  // not loaded yet
        EXPECT_FALSE(returned);
        while_open();
    };
    t::run_soon(when_open);
    t::click(search, "按钮2");
    returned = true;
}

TEST_F(UsageWindow, IsModalUntilClosedByEachRoute) {
    struct Route {
        const char* name;
        std::function<void()> close;
    } routes[] = {
        {"Esc", [] { t::press_key(usage, "Escape"); }},
        {"close request", [] { t::request_close(usage); }},
        {"Alt+F4 via the window manager", [] { t::request_close(usage); }},
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        open_usage_window([&] {
            ASSERT_TRUE(t::window_exists(usage));
            EXPECT_TRUE(t::window_visible(usage));
            EXPECT_FALSE(t::window_enabled(search));
            // Input meant for the disabled search window goes nowhere.
            t::press_key(search, "Escape");
            t::set_edit_text(search, "编辑框1", "Heat");
            t::click(search, "按钮1");
            EXPECT_TRUE(t::window_exists(search));
            route.close();
        });
        EXPECT_FALSE(t::window_exists(usage));
        EXPECT_TRUE(t::window_enabled(search));
        t::set_edit_text(search, "编辑框1", "");
    }
    for (const t::ControlView& control : t::controls(search)) {
        if (control.name == "超文本浏览框1") {
            EXPECT_EQ(control.text, "") << "a click got through";
        }
    }
}

TEST_F(UsageWindow, HoldsItsFiveControlsInStackingOrder) {
    open_usage_window([] {
        const struct {
            const char* name;
            int left, top, width, height;
        } expected[] = {
            {"标签1", 696, 416, 56, 24},     {"超级链接框1", 464, 416, 232, 24},
            {"图片框3", 376, 152, 464, 232}, {"图片框2", 0, 240, 480, 304},
            {"图片框1", -8, -8, 480, 248},
        };
        auto controls = t::controls(usage);
        ASSERT_EQ(controls.size(), std::size(expected));
        for (std::size_t i = 0; i < controls.size(); ++i) {
            EXPECT_EQ(controls[i].name, expected[i].name);
            EXPECT_EQ((std::vector{controls[i].left, controls[i].top, controls[i].width,
                                   controls[i].height}),
                      (std::vector{expected[i].left, expected[i].top, expected[i].width,
                                   expected[i].height}));
            EXPECT_EQ(controls[i].paint_position, static_cast<int>(controls.size() - 1 - i));
            EXPECT_FALSE(controls[i].can_focus);
        }
        for (std::size_t picture_box = 2; picture_box < controls.size(); ++picture_box) {
            EXPECT_EQ(controls[picture_box].text, "picture") << "its picture did not decode";
        }
        EXPECT_EQ(controls[0].text, "BY：Pellin");
        EXPECT_EQ(controls[1].text, "官方论坛：http://tavik.example");
        EXPECT_EQ(controls[1].text_colour, (rt::Rgb{0, 0, 255}));
        t::request_close(usage);
    });
}

TEST_F(UsageWindow, IsBuiltAfreshOnEveryOpening) {
    for (int opening = 0; opening < 3; ++opening) {
        open_usage_window([] {
            EXPECT_EQ(t::controls(usage).size(), 5u);
            t::press_key(usage, "Escape");
        });
        EXPECT_FALSE(t::window_exists(usage));
    }
    EXPECT_TRUE(t::window_exists(search));
}

}  // namespace
