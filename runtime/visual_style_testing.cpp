#include "runtime/visual_style_testing.h"

#include "runtime/face_colour.h"
#include "runtime/testing.h"

#include <gtkmm.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace rt::style_testing {
namespace {

std::unique_ptr<Gtk::Widget> make_control(Sample kind, const std::string& caption) {
    switch (kind) {
        case Sample::push_button:
            return std::make_unique<Gtk::Button>(caption);
        case Sample::toggle_button:
            return std::make_unique<Gtk::ToggleButton>(caption);
        case Sample::check_box:
            return std::make_unique<Gtk::CheckButton>(caption);
        case Sample::edit_box: {
            auto entry = std::make_unique<Gtk::Entry>();
            entry->set_text(caption);
            return entry;
        }
        case Sample::combo_box: {
            auto combo = std::make_unique<Gtk::ComboBoxText>();
            combo->append(caption);
            combo->set_active(0);
            return combo;
        }
        case Sample::spin_control:
            return std::make_unique<Gtk::SpinButton>(Gtk::Adjustment::create(5, 0, 10));
        case Sample::group_box:
            return std::make_unique<Gtk::Frame>(caption);
        case Sample::label:
            return std::make_unique<Gtk::Label>(caption);
        case Sample::drawing_area:
            return std::make_unique<Gtk::DrawingArea>();
        case Sample::link_button:
            return std::make_unique<Gtk::LinkButton>("http://tavik.example/", caption);
    }
    return nullptr;
}

// Gives the widget the keyboard focus as if its window were the active one,
// with the focus shown, without needing the window manager's cooperation.
void give_focus(Gtk::Window& window, Gtk::Widget& control) {
    if (!control.get_can_focus()) return;
    window.set_focus(control);
    gtk_window_set_focus_visible(window.gobj(), TRUE);
    GdkEvent* focus_in = gdk_event_new(GDK_FOCUS_CHANGE);
    focus_in->focus_change.in = TRUE;
    focus_in->focus_change.send_event = TRUE;
    focus_in->focus_change.window = GDK_WINDOW(g_object_ref(control.get_window()->gobj()));
    gtk_widget_send_focus_change(control.gobj(), focus_in);
    gdk_event_free(focus_in);
}

Rgb to_rgb(std::uint32_t argb) {
    return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
            static_cast<std::uint8_t>(argb)};
}

Picture read_surface(const Cairo::RefPtr<Cairo::ImageSurface>& surface) {
    surface->flush();
    Picture picture{surface->get_width(), surface->get_height(), {}};
    picture.pixels.reserve(static_cast<std::size_t>(picture.width * picture.height));
    for (int y = 0; y < picture.height; ++y) {
        const unsigned char* row = surface->get_data() + y * surface->get_stride();
        for (int x = 0; x < picture.width; ++x) {
            std::uint32_t argb;
            std::memcpy(&argb, row + 4 * x, sizeof argb);
            picture.pixels.push_back(to_rgb(argb));
        }
    }
    return picture;
}

// Draws the widget at its current allocation on the window background, as its
// window would.
Picture draw_widget(GtkWidget* widget) {
    GtkAllocation allocation;
    gtk_widget_get_allocation(widget, &allocation);
    auto surface =
        Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, allocation.width, allocation.height);
    auto cr = Cairo::Context::create(surface);
    const Rgb background = window_background();
    cr->set_source_rgb(background.red / 255.0, background.green / 255.0, background.blue / 255.0);
    cr->paint();
    gtk_widget_draw(widget, cr->cobj());
    return read_surface(surface);
}

// A changed style reaches a control in the layout phase of its window's next
// frame, which the frame clock runs on a timer rather than as a pending event;
// asks for that frame and waits until it has run.
void wait_for_next_frame(GtkWidget* widget) {
    GdkFrameClock* clock = gtk_widget_get_frame_clock(widget);
    if (clock == nullptr) return;
    const gint64 frame = gdk_frame_clock_get_frame_counter(clock);
    gdk_frame_clock_request_phase(clock, GDK_FRAME_CLOCK_PHASE_LAYOUT);
    rt::testing::wait_until([&] { return gdk_frame_clock_get_frame_counter(clock) != frame; },
                            1000);
}

GtkWidget* first_button(GtkWidget* widget) {
    if (GTK_IS_BUTTON(widget)) return widget;
    if (!GTK_IS_CONTAINER(widget)) return nullptr;
    GtkWidget* found = nullptr;
    gtk_container_forall(
        GTK_CONTAINER(widget),
        [](GtkWidget* child, gpointer data) {
            auto* result = static_cast<GtkWidget**>(data);
            if (*result == nullptr) *result = first_button(child);
        },
        &found);
    return found;
}

}  // namespace

Rgb window_background() {
    return face_colour();
}

bool save_png(const Picture& picture, const std::string& path) {
    auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, picture.width, picture.height);
    surface->flush();
    for (int y = 0; y < picture.height; ++y) {
        unsigned char* row = surface->get_data() + y * surface->get_stride();
        for (int x = 0; x < picture.width; ++x) {
            const Rgb pixel = picture.at(x, y);
            const std::uint32_t rgb =
                (std::uint32_t{pixel.red} << 16) | (std::uint32_t{pixel.green} << 8) | pixel.blue;
            std::memcpy(row + 4 * x, &rgb, sizeof rgb);
        }
    }
    surface->mark_dirty();
    try {
        surface->write_to_png(path);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

struct SampleControl::Widgets {
    Gtk::OffscreenWindow window;
    std::unique_ptr<Gtk::Widget> control;
    int width = 0;
    int height = 0;
};

SampleControl::SampleControl(Sample kind, const std::string& caption, int width, int height)
    : widgets_(std::make_unique<Widgets>()) {
    widgets_->control = make_control(kind, caption);
    widgets_->width = width;
    widgets_->height = height;
    widgets_->window.add(*widgets_->control);
    widgets_->window.show_all();
    // Showing focuses the first focusable control (an edit box would select its
    // text); the focused look is asked for explicitly instead.
    widgets_->window.unset_focus();
    if (auto* entry = dynamic_cast<Gtk::Entry*>(widgets_->control.get()))
        entry->select_region(0, 0);
}

SampleControl::~SampleControl() {
    widgets_->window.remove();
    rt::testing::process_pending_events();
}

void SampleControl::show_look(Look look) {
    Gtk::Widget& control = *widgets_->control;
    auto* toggle = dynamic_cast<Gtk::ToggleButton*>(&control);
    switch (look) {
        case Look::normal:
            break;
        case Look::hovered:
            control.set_state_flags(Gtk::STATE_FLAG_PRELIGHT, false);
            break;
        case Look::focused:
            give_focus(widgets_->window, control);
            break;
        case Look::pressed:
            control.set_state_flags(Gtk::STATE_FLAG_ACTIVE, false);
            break;
        case Look::disabled:
            control.set_sensitive(false);
            break;
        case Look::checked:
            if (toggle) toggle->set_active(true);
            break;
        case Look::default_button:
            control.set_can_default(true);
            control.grab_default();
            break;
        case Look::read_only:
            if (auto* entry = dynamic_cast<Gtk::Entry*>(&control)) entry->set_editable(false);
            break;
        case Look::indeterminate:
            if (toggle) toggle->set_inconsistent(true);
            break;
    }
}

Picture SampleControl::render() {
    GtkWidget* control = widgets_->control->gobj();
    wait_for_next_frame(control);
    rt::testing::process_pending_events();
    // The program sizes its controls itself, whatever they ask for; do the same.
    GtkRequisition minimum;
    gtk_widget_get_preferred_size(control, &minimum, nullptr);
    GtkAllocation allocation{0, 0, widgets_->width, widgets_->height};
    gtk_widget_size_allocate(control, &allocation);
    // An edit box places its text (its scroll offset) from an idle callback
    // after the allocation; draw once that has happened, as the next frame would.
    rt::testing::process_pending_events();
    // Its window's own layout pass may have run meanwhile and given the
    // control its natural size; the program's size is the one drawn.
    gtk_widget_size_allocate(control, &allocation);
    return draw_widget(control);
}

Picture render_sample(Sample kind, const std::string& caption, int width, int height, Look look) {
    SampleControl sample(kind, caption, width, height);
    sample.show_look(look);
    return sample.render();
}

Picture render_message_dialog_button() {
    Gtk::MessageDialog dialog("?", false, Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK);
    GtkWidget* button = first_button(GTK_WIDGET(dialog.gobj()));
    if (button == nullptr) return {};
    // Once the dialog has painted itself on the screen its layout is settled.
    bool painted = false;
    dialog.signal_draw().connect(
        [&painted](const Cairo::RefPtr<Cairo::Context>&) {
            painted = true;
            return false;
        },
        false);
    dialog.show();
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!painted && std::chrono::steady_clock::now() < give_up) {
        if (gtk_events_pending()) {
            gtk_main_iteration_do(FALSE);
        } else {
            g_usleep(1000);
        }
    }
    rt::testing::process_pending_events();
    Picture picture = draw_widget(button);
    dialog.hide();
    rt::testing::process_pending_events();
    return picture;
}

}  // namespace rt::style_testing
