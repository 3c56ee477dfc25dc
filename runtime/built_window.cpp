#include "runtime/built_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <chrono>
#include <ranges>
#include <thread>

#include "runtime/face_colour.h"
#include "runtime/picture_box.h"
#include "runtime/text_controls.h"

namespace rt {
namespace {

constexpr int kLargestControlSize = 32627;
// A resize step no drag can reach: the frame cannot be dragged to another
// size, while maximising, which ignores steps, still works.
constexpr int kUnreachableResizeStep = 32767;

struct FrameExtents {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};

// Asks the window manager which frame it will put around the (still unmapped)
// window, so that the outer size, frame included, is the described one. With
// no window manager, or one that does not answer, the frame is empty.
FrameExtents request_frame_extents(Gtk::Window& window) {
    GdkWindow* gdk_window = window.get_window()->gobj();
    GdkDisplay* display = gdk_window_get_display(gdk_window);
    if (!GDK_IS_X11_DISPLAY(display)) return {};
    GdkScreen* screen = gdk_window_get_screen(gdk_window);
    if (!gdk_x11_screen_supports_net_wm_hint(
            screen, gdk_atom_intern_static_string("_NET_REQUEST_FRAME_EXTENTS"))) {
        return {};
    }
    Display* xdisplay = GDK_DISPLAY_XDISPLAY(display);
    ::Window xwindow = GDK_WINDOW_XID(gdk_window);
    Atom request = XInternAtom(xdisplay, "_NET_REQUEST_FRAME_EXTENTS", False);
    Atom extents = XInternAtom(xdisplay, "_NET_FRAME_EXTENTS", False);

    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = xwindow;
    message.xclient.message_type = request;
    message.xclient.format = 32;
    XSendEvent(xdisplay, DefaultRootWindow(xdisplay), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &message);
    XFlush(xdisplay);

    using namespace std::chrono;
    auto deadline = steady_clock::now() + milliseconds(500);
    while (steady_clock::now() < deadline) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        int status = XGetWindowProperty(xdisplay, xwindow, extents, 0, 4, False, XA_CARDINAL, &type,
                                        &format, &count, &remaining, &data);
        if (status == Success && type == XA_CARDINAL && format == 32 && count == 4) {
            auto* values = reinterpret_cast<long*>(data);
            FrameExtents frame{static_cast<int>(values[0]), static_cast<int>(values[1]),
                               static_cast<int>(values[2]), static_cast<int>(values[3])};
            XFree(data);
            return frame;
        }
        if (data != nullptr) XFree(data);
        std::this_thread::sleep_for(milliseconds(2));
    }
    return {};
}

// The title bar icon, from PNG images in several sizes.
void set_icon(Gtk::Window& window, std::span<const std::span<const unsigned char>> images) {
    std::vector<Glib::RefPtr<Gdk::Pixbuf>> icons;
    for (std::span<const unsigned char> png : images) {
        auto loader = Gdk::PixbufLoader::create("png");
        try {
            loader->write(png.data(), png.size());
            loader->close();
            icons.push_back(loader->get_pixbuf());
        } catch (const Glib::Error&) {
            // A broken image leaves that size out.
        }
    }
    if (!icons.empty()) window.set_icon_list(icons);
}

Gdk::Rectangle primary_screen(Gtk::Window& window) {
    auto display = window.get_display();
    auto monitor = display->get_primary_monitor();
    if (!monitor) monitor = display->get_monitor(0);
    Gdk::Rectangle area;
    if (monitor) monitor->get_geometry(area);
    return area;
}

}  // namespace

BuiltWindow::BuiltWindow(const WindowDescription& description, Gtk::Window* owner)
    : description_(description) {
    toplevel_.set_title(description.title);
    set_icon(toplevel_, description.icon);
    toplevel_.get_style_context()->add_class("tavik-window");
    toplevel_.override_background_color(to_rgba(face_colour()));
    if (owner != nullptr) {
        // Owned by the run time's hidden window: no taskbar entry of its own.
        toplevel_.set_transient_for(*owner);
        toplevel_.set_skip_taskbar_hint(true);
    }
    toplevel_.add(area_);
    build_controls();
    configure_frame();
    place_on_screen();

    toplevel_.signal_delete_event().connect([this](GdkEventAny*) {
        if (on_close_request) on_close_request();
        return true;  // the run time destroys the window itself
    });
    toplevel_.signal_key_press_event().connect(sigc::mem_fun(*this, &BuiltWindow::on_key_press),
                                               false);
    toplevel_.signal_size_allocate().connect([this](Gtk::Allocation& allocation) {
        track_client_size(allocation.get_width(), allocation.get_height(), minimised_);
    });
    // Only the minimised state comes from here; sizes come with the layout.
    // (The allocation may still be the one the window was realised with.)
    toplevel_.signal_window_state_event().connect([this](GdkEventWindowState* event) {
        bool minimised = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
        track_client_size(client_width_, client_height_, minimised);
        return false;
    });
}

BuiltWindow::~BuiltWindow() {
    toplevel_.hide();
    // The web view's engine widget is shared with GTK: take it out before the
    // window goes, the other controls go with their owners.
    for (Control& control : controls_) area_.remove(*control.widget);
}

const BuiltWindow::Control* BuiltWindow::control(std::string_view name) const {
    auto found = std::ranges::find_if(
        controls_, [name](const Control& control) { return control.description->name == name; });
    return found != controls_.end() ? &*found : nullptr;
}

void BuiltWindow::configure_frame() {
    toplevel_.set_default_size(description_.width, description_.height);
    gtk_widget_realize(GTK_WIDGET(toplevel_.gobj()));
    Glib::RefPtr<Gdk::Window> window = toplevel_.get_window();
    if (!description_.maximise_box) {
        // Neither resized, maximised nor (without a minimise box) minimised.
        auto functions = Gdk::FUNC_MOVE | Gdk::FUNC_CLOSE;
        if (description_.minimise_box) functions |= Gdk::FUNC_MINIMIZE;
        window->set_functions(functions);
        // Some window managers draw the boxes from the decorations alone.
        auto decorations = Gdk::DECOR_BORDER | Gdk::DECOR_TITLE | Gdk::DECOR_MENU;
        if (description_.minimise_box) decorations |= Gdk::DECOR_MINIMIZE;
        window->set_decorations(decorations);
        toplevel_.set_resizable(false);
    }
    FrameExtents frame = request_frame_extents(toplevel_);
    client_width_ = std::max(description_.width - frame.left - frame.right, 1);
    client_height_ = std::max(description_.height - frame.top - frame.bottom, 1);
    toplevel_.set_default_size(client_width_, client_height_);
    if (description_.maximise_box) {
        GdkGeometry hints{};
        hints.min_width = hints.base_width = client_width_;
        hints.min_height = hints.base_height = client_height_;
        hints.width_inc = hints.height_inc = kUnreachableResizeStep;
        gtk_window_set_geometry_hints(
            toplevel_.gobj(), nullptr, &hints,
            static_cast<GdkWindowHints>(GDK_HINT_MIN_SIZE | GDK_HINT_BASE_SIZE |
                                        GDK_HINT_RESIZE_INC));
    }
}

// The outer frame's top-left corner at ((screen - size) / 2), each half
// truncated toward zero, on the whole primary screen (not its work area).
void BuiltWindow::place_on_screen() {
    Gdk::Rectangle screen = primary_screen(toplevel_);
    toplevel_.set_gravity(Gdk::GRAVITY_NORTH_WEST);
    toplevel_.move(screen.get_x() + (screen.get_width() - description_.width) / 2,
                   screen.get_y() + (screen.get_height() - description_.height) / 2);
}

void BuiltWindow::build_controls() {
    const auto& described = description_.controls;
    controls_.reserve(described.size());
    for (const ControlDescription& control : described) {
        controls_.push_back({&control, nullptr, nullptr, nullptr});
    }
    // The last of the description first: the first control ends up on top.
    for (Control& control : std::views::reverse(controls_)) {
        Gtk::Widget& widget = build_control(control);
        const ControlDescription& d = *control.description;
        area_.place(widget, {d.left, d.top, d.width, d.height});
        widget.show();
    }
    std::vector<Gtk::Widget*> tab_order;
    for (Control& control : std::views::reverse(controls_)) {
        if (control.description->tab_stop)
            tab_order.push_back(control.widget);
        else
            control.widget->set_can_focus(false);
    }
    area_.set_tab_order(std::move(tab_order));
    area_.show();
}

Gtk::Widget& BuiltWindow::build_control(Control& control) {
    const ControlDescription& d = *control.description;
    switch (d.kind) {
        case ControlKind::label:
        case ControlKind::transparent_label:
            control.owned = std::make_unique<TextLabel>(d);
            break;
        case ControlKind::hyperlink_box:
            control.owned = std::make_unique<HyperlinkBox>(d);
            break;
        case ControlKind::edit_box: {
            auto entry = std::make_unique<Gtk::Entry>();
            entry->set_has_frame(true);
            entry->set_width_chars(1);
            control.owned = std::move(entry);
            break;
        }
        case ControlKind::button: {
            auto button = std::make_unique<Gtk::Button>(d.text);
            Handler handler = d.clicked;
            button->signal_clicked().connect([this, handler] {
                if (on_clicked && handler != nullptr) on_clicked(handler);
            });
            control.owned = std::move(button);
            break;
        }
        case ControlKind::web_view:
            control.web_view = std::make_unique<WebView>();
            control.widget = &control.web_view->widget();
            return *control.widget;
        case ControlKind::picture_box:
            control.owned = std::make_unique<PictureBox>(d.picture);
            break;
    }
    control.owned->set_name(d.name);
    control.widget = control.owned.get();
    return *control.widget;
}

int BuiltWindow::client_width() const {
    return minimised_ ? 0 : client_width_;
}
int BuiltWindow::client_height() const {
    return minimised_ ? 0 : client_height_;
}

void BuiltWindow::resize_control(std::string_view name, std::optional<int> width,
                                 std::optional<int> height) {
    const Control* found = control(name);
    if (found == nullptr) return;
    Rect rect = area_.rect_of(*found->widget);
    auto clamp = [](int value) { return std::clamp(value, 0, kLargestControlSize); };
    area_.resize(*found->widget, clamp(width.value_or(rect.width)),
                 clamp(height.value_or(rect.height)));
}

void BuiltWindow::show() {
    toplevel_.show();
    toplevel_.present();
}

void BuiltWindow::track_client_size(int width, int height, bool minimised) {
    if (width == client_width_ && height == client_height_ && minimised == minimised_) return;
    client_width_ = width;
    client_height_ = height;
    minimised_ = minimised;
    if (on_size_changed) on_size_changed();
}

// The window sees a key before the focused control, except the keys the web
// view claims for its page while it has the focus.
bool BuiltWindow::on_key_press(GdkEventKey* event) {
    Gtk::Widget* focus = toplevel_.get_focus();
    bool web_view_focused = std::ranges::any_of(controls_, [focus](const Control& control) {
        return control.web_view && focus != nullptr &&
               (focus == control.widget || focus->is_ancestor(*control.widget));
    });
    OfferedKey key{event->time, event->keyval, event->hardware_keycode};
    if (web_view_focused) {
        key_offered_to_web_view_ = key;
        if (gtk_window_propagate_key_event(toplevel_.gobj(), event)) return true;
        // Not taken (the engine is not there yet): no copy will come back.
        key_offered_to_web_view_.reset();
    } else if (key_offered_to_web_view_ == key) {
        // The engine hands a key its page did not take back to the window
        // after it has acted on it itself: Tab has already moved the focus out
        // of the view. Acting on it again would skip a control.
        key_offered_to_web_view_.reset();
        return true;
    }

    constexpr guint kModifiers = GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK;
    bool plain = (event->state & kModifiers) == 0;
    if (event->keyval == GDK_KEY_Escape && plain && description_.escape_closes) {
        if (on_close_request) on_close_request();
        return true;
    }
    if (event->keyval == GDK_KEY_F1 && plain) return true;  // no help
    return false;
}

}  // namespace rt
