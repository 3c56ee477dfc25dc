#include "runtime/runtime.h"

#include <gtkmm.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "runtime/built_window.h"
#include "runtime/encoding.h"
#include "runtime/program_folder.h"
#include "runtime/runtime_state.h"

namespace rt {

RuntimeState& state() {
    static RuntimeState instance;
    return instance;
}

BuiltWindow* find_loaded(const WindowDescription& description) {
    auto& windows = state().windows;
    auto found = std::find_if(windows.rbegin(), windows.rend(), [&](const auto& window) {
        return &window->description() == &description;
    });
    return found == windows.rend() ? nullptr : found->get();
}

namespace {

constexpr const char* kFatalErrorTitle = "错误";

bool is_input(GdkEventType type) {
    switch (type) {
        case GDK_BUTTON_PRESS:
        case GDK_2BUTTON_PRESS:
        case GDK_3BUTTON_PRESS:
        case GDK_BUTTON_RELEASE:
        case GDK_KEY_PRESS:
        case GDK_KEY_RELEASE:
        case GDK_SCROLL:
        case GDK_MOTION_NOTIFY:
        case GDK_TOUCH_BEGIN:
        case GDK_TOUCH_UPDATE:
        case GDK_TOUCH_END:
        case GDK_TOUCHPAD_SWIPE:
        case GDK_TOUCHPAD_PINCH:
            return true;
        default:
            return false;
    }
}

// Every event passes here before GTK dispatches it: input meant for a
// disabled program window is dropped, everything else (painting, the web
// view's loading) goes on as usual.
void dispatch_event(GdkEvent* event, gpointer) {
    if (is_input(event->type) && event->any.window != nullptr) {
        GdkWindow* target = gdk_window_get_toplevel(event->any.window);
        for (const auto& window : state().windows) {
            if (!window->enabled() && window->toplevel().get_window() &&
                window->toplevel().get_window()->gobj() == target) {
                return;
            }
        }
    }
    gtk_main_do_event(event);
}

void make_program_folder_current() {
    std::error_code error;
    if (auto folder = program_folder()) std::filesystem::current_path(*folder, error);
}

// Nothing in the program draws with OpenGL (the web view's pages are drawn by
// the engine's own processes), yet GDK would set up the GL driver while
// opening the display, only to choose window visuals for it: a tenth of a
// second before the first window, and the driver's memory for good. A
// choice the person has made in GDK_GL stands; the setting is not handed on
// to the programs started from this one.
bool open_display(int& argc, char**& argv) {
    const bool gl_left_to_us = g_getenv("GDK_GL") == nullptr;
    if (gl_left_to_us) g_setenv("GDK_GL", "disable", TRUE);
    const bool opened = gtk_init_check(&argc, &argv);
    if (gl_left_to_us) g_unsetenv("GDK_GL");
    return opened;
}

void create_hidden_owner() {
    auto owner = std::make_unique<Gtk::Window>();
    owner->set_type_hint(Gdk::WINDOW_TYPE_HINT_UTILITY);
    owner->set_default_size(1, 1);
    owner->set_skip_taskbar_hint(true);
    gtk_widget_realize(
        GTK_WIDGET(owner->gobj()));  // owned windows need its X window; it is never shown
    state().hidden_owner = std::move(owner);
}

void deliver(Handler handler) {
    if (handler != nullptr && !state().building) handler();
}

bool exists(const BuiltWindow* window) {
    return std::ranges::any_of(state().windows,
                               [window](const auto& alive) { return alive.get() == window; });
}

void destroy_window(BuiltWindow* window);

// The close request: the windows this one disabled get their recorded state
// back first, then it is destroyed.
void close_window(BuiltWindow* window) {
    for (auto [disabled, was_enabled] : state().disabled_by[window]) {
        if (exists(disabled)) disabled->set_enabled(was_enabled);
    }
    state().disabled_by.erase(window);
    destroy_window(window);
}

void destroy_window(BuiltWindow* window) {
    auto& windows = state().windows;
    auto found = std::ranges::find_if(
        windows, [window](const auto& alive) { return alive.get() == window; });
    if (found == windows.end()) return;
    std::unique_ptr<BuiltWindow> destroyed = std::move(*found);
    windows.erase(found);
    destroyed->toplevel().hide();
    // Deleted once control is back in the loop: this may run inside one of
    // the window's own signal handlers.
    auto* retired = destroyed.release();
    Glib::signal_idle().connect_once([retired] { delete retired; }, Glib::PRIORITY_HIGH);
    for (auto& waiter : state().waiters) {
        if (waiter.window == window && waiter.loop) waiter.loop->quit();
    }
    if (windows.empty() && state().loop_entered && state().main_loop) state().main_loop->quit();
}

BuiltWindow* build_window(const WindowDescription& description, bool owned) {
    state().building = true;
    std::unique_ptr<BuiltWindow> window;
    try {
        window = std::make_unique<BuiltWindow>(description,
                                               owned ? state().hidden_owner.get() : nullptr);
    } catch (const std::exception&) {
        state().building = false;
        return nullptr;
    }
    BuiltWindow* built = window.get();
    built->on_close_request = [built] { close_window(built); };
    built->on_size_changed = [built] { deliver(built->description().size_changed); };
    built->on_clicked = [](Handler handler) { deliver(handler); };
    state().windows.push_back(std::move(window));
    state().building = false;
    return built;
}

// Created, moved (no handler can be bound to it) and size changed, each only
// while the window still exists; then it is shown when it is to be visible.
void deliver_load_events(BuiltWindow* window) {
    deliver(window->description().created);
    if (!exists(window)) return;
    // The moved event comes here; no handler can be bound to it.
    deliver(window->description().size_changed);
    if (!exists(window)) return;
    if (window->description().visible_when_loaded) window->show();
}

void disable_other_windows(BuiltWindow* modal) {
    auto& recorded = state().disabled_by[modal];
    for (const auto& window : state().windows) {
        if (window.get() == modal) continue;
        recorded.emplace_back(window.get(), window->enabled());
        window->set_enabled(false);
    }
}

void wait_until_destroyed(BuiltWindow* window) {
    auto loop = Glib::MainLoop::create(false);
    state().waiters.push_back({window, loop});
    loop->run();
    std::erase_if(state().waiters,
                  [window](const auto& waiter) { return waiter.window == window; });
}

}  // namespace

void initialise() {
    if (state().initialised) return;
    make_program_folder_current();
    gdk_set_allowed_backends("x11");
    int argc = 1;
    char program_name[] = "tavik-search";
    char* args[] = {program_name, nullptr};
    char** argv = args;
    if (!open_display(argc, argv)) {
        std::cerr << "tavik-search: cannot open the display\n";
        std::fflush(nullptr);
        std::_Exit(-1);
    }
    Gtk::Main::init_gtkmm_internals();
    gdk_event_handler_set(dispatch_event, nullptr, nullptr);
    create_hidden_owner();
    state().initialised = true;
}

void register_exit_routine(Routine routine) {
    state().exit_routine = routine;
}

void load_startup_window(const WindowDescription& description) {
    BuiltWindow* window = build_window(description, false);
    if (window == nullptr) fatal_error("无法创建启动窗口。");
    deliver_load_events(window);
}

bool load_window(const WindowDescription& description, bool modal) {
    BuiltWindow* window = build_window(description, modal);
    if (window == nullptr) return false;
    if (modal) disable_other_windows(window);
    deliver_load_events(window);
    if (modal && exists(window) && window->toplevel().get_visible()) wait_until_destroyed(window);
    return true;
}

void run_event_loop() {
    state().loop_entered = true;
    if (state().windows.empty()) return;
    state().main_loop = Glib::MainLoop::create(false);
    state().main_loop->run();
    state().main_loop.reset();
}

int end_normally() {
    if (Routine routine = std::exchange(state().exit_routine, nullptr)) routine();
    // Closed windows are deleted from the loop; let that happen, but do not
    // wait for whatever the engine keeps scheduling for itself.
    constexpr int kMostPendingEvents = 1000;
    auto context = Glib::MainContext::get_default();
    for (int handled = 0; handled < kMostPendingEvents && context->iteration(false); ++handled) {
    }
    state().hidden_owner.reset();
    return 0;
}

void fatal_error(std::string_view message) {
    state().exit_routine = nullptr;
    std::cerr << "tavik-search: " << message << '\n';
    if (state().initialised) {
        Gtk::MessageDialog box(Glib::ustring(std::string(message)), false, Gtk::MESSAGE_ERROR,
                               Gtk::BUTTONS_OK, true);
        box.set_title(kFatalErrorTitle);
        box.set_position(Gtk::WIN_POS_CENTER);
        box.run();
    }
    std::fflush(nullptr);
    std::_Exit(-1);
}

namespace {
BuiltWindow& loaded(const WindowDescription& description) {
    BuiltWindow* window = find_loaded(description);
    if (window == nullptr) fatal_error("窗口不存在。");
    return *window;
}
}  // namespace

int client_width(const WindowDescription& window) {
    return loaded(window).client_width();
}
int client_height(const WindowDescription& window) {
    return loaded(window).client_height();
}

void set_width(const WindowDescription& window, std::string_view control, int width) {
    loaded(window).resize_control(control, width, std::nullopt);
}

void set_height(const WindowDescription& window, std::string_view control, int height) {
    loaded(window).resize_control(control, std::nullopt, height);
}

Text read_text(const WindowDescription& window, std::string_view control) {
    const BuiltWindow::Control* found = loaded(window).control(control);
    auto* entry = found != nullptr ? dynamic_cast<Gtk::Entry*>(found->widget) : nullptr;
    if (entry == nullptr || entry->get_text_length() == 0) return nullptr;
    std::string text = utf8_to_system(entry->get_text().raw());
    Text copy(allocate_text(text.size() + 1));
    std::copy(text.begin(), text.end(), copy.get());
    copy[text.size()] = '\0';
    return copy;
}

void write_address(const WindowDescription& window, std::string_view control, const char* address) {
    const BuiltWindow::Control* found = loaded(window).control(control);
    if (found != nullptr && found->web_view) found->web_view->write_address(address);
}

}  // namespace rt
