#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "runtime/runtime.h"
#include "runtime/testing.h"

// A window of its own whose handlers record what they see.
namespace {

std::vector<std::string> events;
int exit_routine_calls = 0;

extern const rt::WindowDescription recording_window;

void record(const char* event) {
    bool visible = rt::testing::window_visible(recording_window);
    events.push_back(std::string(event) + (visible ? " (visible)" : " (hidden)"));
}
void on_created() {
    record("created");
}
void on_size_changed() {
    record("size changed");
}
void on_exit() {
    ++exit_routine_calls;
}

const rt::ControlDescription kOneLabel[] = {
    {.kind = rt::ControlKind::label,
     .name = "标签1",
     .left = 8,
     .top = 8,
     .width = 40,
     .height = 24,
     .text = "x"},
};

const rt::WindowDescription recording_window{
    .title = "recording",
    .width = 300,
    .height = 200,
    .created = on_created,
    .size_changed = on_size_changed,
    .controls = kOneLabel,
};

TEST(LoadEvents, CreatedThenSizeChangedOnceEachBeforeTheWindowIsShown) {
    events.clear();
    ASSERT_TRUE(rt::load_window(recording_window, false));
    EXPECT_EQ(events, (std::vector<std::string>{"created (hidden)", "size changed (hidden)"}));
    EXPECT_TRUE(rt::testing::window_visible(recording_window));
    rt::testing::request_close(recording_window);
}

TEST(EventLoop, EndsWhenTheLastWindowIsClosedAndTheExitRoutineRunsOnce) {
    rt::register_exit_routine(on_exit);
    rt::load_startup_window(recording_window);
    rt::testing::run_soon([] { rt::testing::request_close(recording_window); });
    rt::run_event_loop();
    EXPECT_FALSE(rt::testing::window_exists(recording_window));
    EXPECT_EQ(exit_routine_calls, 0);
    EXPECT_EQ(rt::end_normally(), 0);
    EXPECT_EQ(exit_routine_calls, 1);
    rt::end_normally();
    EXPECT_EQ(exit_routine_calls, 1);
}

TEST(EventLoop, ReturnsAtOnceWhenNoWindowExists) {
    rt::run_event_loop();  // must not block
    SUCCEED();
}

}  // namespace

// The toolkit is started with OpenGL off; that setting is not left in the
// environment for the programs started from this one.
TEST(StartUp, LeavesNoGlSettingInTheEnvironment) {
    EXPECT_EQ(std::getenv("GDK_GL"), nullptr);
}
