#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/window_description.h"

// What tests may look at and do to the run time and its windows, without the
// toolkit's types.
namespace rt::testing {

// The next `successful_allocations` text allocations succeed, the one after
// fails as if the heap were exhausted; -1 lifts the limit.
void fail_allocations_after(long successful_allocations);

// Sets up the toolkit as the program does, for tests that make windows of their own.
void initialise_toolkit();

// Runs the event loop until nothing is pending.
void process_pending_events();

// Runs the event loop until the condition holds or the time is up; whether it holds.
bool wait_until(const std::function<bool()>& condition, int timeout_milliseconds = 5000);

// Runs the function from the event loop, once, as soon as it is idle.
void run_soon(std::function<void()> function);

// Runs the function from the event loop, once, after the given time.
void run_after(int milliseconds, std::function<void()> function);

struct ControlView {
    std::string name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int paint_position = 0;  // 0 is painted first, i.e. lowest in the stacking order
    bool visible = false;
    bool can_focus = false;
    std::string text;  // caption, label or hyperlink text, edit box text (UTF-8), web view address,
                       // "picture" for a picture box whose picture decoded
    Rgb text_colour{};
};

bool window_exists(const WindowDescription& window);
bool window_enabled(const WindowDescription& window);
bool window_visible(const WindowDescription& window);
std::vector<ControlView> controls(const WindowDescription& window);
std::string focused_control(const WindowDescription& window);
// Whether the named web view holds the engine's view (pages can be shown).
bool web_view_shows_pages(const WindowDescription& window, std::string_view control);

// Synthesised input, delivered through the run time's event dispatch.
enum Modifier : unsigned { none = 0, shift = 1, control = 2, alt = 4 };
void press_key(const WindowDescription& window, std::string_view key_name,
               unsigned modifiers = none);
void click(const WindowDescription& window, std::string_view control);
void set_edit_text(const WindowDescription& window, std::string_view control,
                   std::string_view utf8);
void request_close(const WindowDescription& window);

// Asks the window manager to minimise the window, or to show it normally again.
void minimise(const WindowDescription& window, bool minimised);

// Answers OK in the open message box (the fatal-error report) and gives its
// text, UTF-8; "" when no message box is open.
std::string dismiss_message_box();

// The window's client area as the toolkit paints it (the web view's page aside).
Rgb pixel_at(const WindowDescription& window, int x, int y);

}  // namespace rt::testing
