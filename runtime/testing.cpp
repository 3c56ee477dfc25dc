#include "runtime/testing.h"

#include <gtkmm.h>

#include <algorithm>

#include "runtime/built_window.h"
#include "runtime/picture_box.h"
#include "runtime/runtime_state.h"
#include "runtime/text_controls.h"

namespace rt::testing {
namespace {

BuiltWindow& window_of(const WindowDescription& description) {
    BuiltWindow* window = find_loaded(description);
    if (window == nullptr) throw std::runtime_error("window not loaded");
    return *window;
}

GdkDevice* device(bool keyboard) {
    GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
    return keyboard ? gdk_seat_get_keyboard(seat) : gdk_seat_get_pointer(seat);
}

void put(GdkEvent* event, bool keyboard) {
    gdk_event_set_device(event, device(keyboard));
    gdk_event_put(event);
    gdk_event_free(event);
}

std::string text_of(const BuiltWindow::Control& control) {
    if (control.web_view) return control.web_view->address();
    Gtk::Widget* widget = control.widget;
    if (auto* label = dynamic_cast<TextLabel*>(widget)) return label->text();
    if (auto* picture = dynamic_cast<PictureBox*>(widget))
        return picture->has_picture() ? "picture" : "";
    if (auto* link = dynamic_cast<HyperlinkBox*>(widget)) return link->shown_text();
    if (auto* button = dynamic_cast<Gtk::Button*>(widget)) return button->get_label();
    if (auto* entry = dynamic_cast<Gtk::Entry*>(widget)) return entry->get_text();
    return {};
}

Rgb colour_of(const BuiltWindow::Control& control) {
    if (auto* label = dynamic_cast<TextLabel*>(control.widget)) return label->text_colour();
    if (auto* link = dynamic_cast<HyperlinkBox*>(control.widget)) return link->current_colour();
    return {};
}

}  // namespace

void initialise_toolkit() {
    rt::initialise();
    // The theme eases some changes of look over a fifth of a second; tests look
    // at the end state, not at a moment of the animation.
    // A blinking caret would make two pictures of one edit box differ.
    g_object_set(gtk_settings_get_default(), "gtk-enable-animations", FALSE, "gtk-cursor-blink",
                 FALSE, nullptr);
}

void process_pending_events() {
    auto context = Glib::MainContext::get_default();
    for (int round = 0; round < 3; ++round) {
        while (context->iteration(false)) {
        }
        gdk_display_sync(gdk_display_get_default());
    }
}

bool wait_until(const std::function<bool()>& condition, int timeout_milliseconds) {
    auto context = Glib::MainContext::get_default();
    gint64 deadline = g_get_monotonic_time() + gint64{timeout_milliseconds} * 1000;
    while (!condition()) {
        if (g_get_monotonic_time() > deadline) return false;
        if (!context->iteration(false)) g_usleep(1000);
    }
    return true;
}

void run_soon(std::function<void()> function) {
    Glib::signal_idle().connect_once([function = std::move(function)] { function(); });
}

void run_after(int milliseconds, std::function<void()> function) {
    Glib::signal_timeout().connect_once([function = std::move(function)] { function(); },
                                        milliseconds);
}

bool window_exists(const WindowDescription& window) {
    return find_loaded(window) != nullptr;
}

bool window_enabled(const WindowDescription& window) {
    return window_of(window).enabled();
}

bool web_view_shows_pages(const WindowDescription& description, std::string_view name) {
    const BuiltWindow::Control* control = window_of(description).control(name);
    return control != nullptr && control->web_view && control->web_view->shows_pages();
}

bool window_visible(const WindowDescription& window) {
    return window_of(window).toplevel().get_visible();
}

std::vector<ControlView> controls(const WindowDescription& description) {
    BuiltWindow& window = window_of(description);
    std::vector<ControlView> views;
    int count = static_cast<int>(window.controls().size());
    int index = 0;
    for (const BuiltWindow::Control& control : window.controls()) {
        Rect rect = window.area().rect_of(*control.widget);
        views.push_back({control.description->name, rect.left, rect.top, rect.width, rect.height,
                         count - 1 - index, control.widget->get_visible(),
                         control.widget->get_can_focus(), text_of(control), colour_of(control)});
        ++index;
    }
    return views;
}

std::string focused_control(const WindowDescription& description) {
    BuiltWindow& window = window_of(description);
    Gtk::Widget* focus = window.toplevel().get_focus();
    if (focus == nullptr) return {};
    for (const BuiltWindow::Control& control : window.controls()) {
        if (focus == control.widget || focus->is_ancestor(*control.widget)) {
            return control.description->name;
        }
    }
    return {};
}

void press_key(const WindowDescription& description, std::string_view key_name,
               unsigned modifiers) {
    BuiltWindow& window = window_of(description);
    guint keyval = gdk_keyval_from_name(std::string(key_name).c_str());
    guint state_mask = ((modifiers & shift) ? GDK_SHIFT_MASK : 0) |
                       ((modifiers & control) ? GDK_CONTROL_MASK : 0) |
                       ((modifiers & alt) ? GDK_MOD1_MASK : 0);
    guint16 keycode = 0;
    GdkKeymapKey* keys = nullptr;
    gint key_count = 0;
    if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                          keyval, &keys, &key_count) &&
        key_count > 0) {
        keycode = static_cast<guint16>(keys[0].keycode);
    }
    g_free(keys);
    for (GdkEventType type : {GDK_KEY_PRESS, GDK_KEY_RELEASE}) {
        GdkEvent* event = gdk_event_new(type);
        event->key.window = GDK_WINDOW(g_object_ref(window.toplevel().get_window()->gobj()));
        event->key.send_event = TRUE;
        event->key.time = static_cast<guint32>(g_get_monotonic_time() / 1000);
        event->key.keyval = keyval;
        event->key.state = state_mask;
        event->key.hardware_keycode = keycode;
        put(event, true);
    }
    process_pending_events();
}

void click(const WindowDescription& description, std::string_view name) {
    BuiltWindow& window = window_of(description);
    const BuiltWindow::Control* control = window.control(name);
    if (control == nullptr) throw std::runtime_error("no such control");
    GdkWindow* target = input_window_of(*control->widget);
    for (GdkEventType type : {GDK_ENTER_NOTIFY, GDK_BUTTON_PRESS, GDK_BUTTON_RELEASE}) {
        GdkEvent* event = gdk_event_new(type);
        if (type == GDK_ENTER_NOTIFY) {
            event->crossing.window = GDK_WINDOW(g_object_ref(target));
            event->crossing.x = event->crossing.y = 2;
            event->crossing.mode = GDK_CROSSING_NORMAL;
            event->crossing.detail = GDK_NOTIFY_ANCESTOR;
        } else {
            event->button.window = GDK_WINDOW(g_object_ref(target));
            event->button.button = 1;
            event->button.x = event->button.y = 2;
            event->button.time = GDK_CURRENT_TIME;
        }
        put(event, false);
        process_pending_events();
    }
}

void set_edit_text(const WindowDescription& description, std::string_view name,
                   std::string_view utf8) {
    const BuiltWindow::Control* control = window_of(description).control(name);
    auto* entry = control != nullptr ? dynamic_cast<Gtk::Entry*>(control->widget) : nullptr;
    if (entry == nullptr) throw std::runtime_error("no such edit box");
    entry->set_text(Glib::ustring(std::string(utf8)));
}

void request_close(const WindowDescription& description) {
    BuiltWindow& window = window_of(description);
    if (window.on_close_request) window.on_close_request();
    process_pending_events();
}

void minimise(const WindowDescription& description, bool minimised) {
    Gtk::Window& toplevel = window_of(description).toplevel();
    if (minimised) {
        toplevel.iconify();
    } else {
        toplevel.deiconify();
        toplevel.present();
    }
}

std::string dismiss_message_box() {
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        auto* box = dynamic_cast<Gtk::MessageDialog*>(window);
        if (box == nullptr || !box->get_visible()) continue;
        std::string text = box->property_text().get_value();
        box->response(Gtk::RESPONSE_OK);
        return text;
    }
    return {};
}

Rgb pixel_at(const WindowDescription& description, int x, int y) {
    BuiltWindow& window = window_of(description);
    Gtk::Window& toplevel = window.toplevel();
    // A window loaded a moment ago may still wait for the next frame to be laid
    // out; lay it out now, as that frame would, since drawing needs it.
    gtk_container_check_resize(GTK_CONTAINER(toplevel.gobj()));
    int width = std::max(toplevel.get_allocated_width(), x + 1);
    int height = std::max(toplevel.get_allocated_height(), y + 1);
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, width, height);
    auto cr = Cairo::Context::create(surface);
    gtk_widget_draw(GTK_WIDGET(toplevel.gobj()), cr->cobj());
    surface->flush();
    const unsigned char* row = surface->get_data() + y * surface->get_stride();
    const unsigned char* pixel = row + 4 * x;  // little-endian xRGB: B, G, R, x
    return {pixel[2], pixel[1], pixel[0]};
}

}  // namespace rt::testing
