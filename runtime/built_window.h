#pragma once

#include <gtkmm.h>

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/placement_area.h"
#include "runtime/web_view.h"
#include "runtime/window_description.h"

namespace rt {

// One window built from its description: a toplevel with the described frame,
// centred on the primary screen, and its controls at their places. It is
// built hidden; the run time delivers its load events and then shows it.
class BuiltWindow {
  public:
    struct Control {
        const ControlDescription* description;
        std::unique_ptr<Gtk::Widget> owned;  // every kind but the web view
        std::unique_ptr<WebView> web_view;
        Gtk::Widget* widget;
    };

    BuiltWindow(const WindowDescription& description, Gtk::Window* owner);
    ~BuiltWindow();
    BuiltWindow(const BuiltWindow&) = delete;
    BuiltWindow& operator=(const BuiltWindow&) = delete;

    const WindowDescription& description() const { return description_; }
    Gtk::Window& toplevel() { return toplevel_; }
    const std::vector<Control>& controls() const { return controls_; }
    const Control* control(std::string_view name) const;
    const PlacementArea& area() const { return area_; }

    int client_width() const;
    int client_height() const;
    void resize_control(std::string_view name, std::optional<int> width, std::optional<int> height);

    // Disabled windows take no mouse or keyboard input but still repaint.
    bool enabled() const { return enabled_; }
    void set_enabled(bool enabled) { enabled_ = enabled; }

    void show();

    // Called on the close box, the window menu's Close, Alt+F4 and Esc.
    std::function<void()> on_close_request;
    // Called after a change of the client size, minimising included.
    std::function<void()> on_size_changed;
    // Called when a button is clicked, with the button's handler.
    std::function<void(Handler)> on_clicked;

  private:
    void configure_frame();
    void place_on_screen();
    void build_controls();
    Gtk::Widget& build_control(Control& control);
    void track_client_size(int width, int height, bool minimised);
    bool on_key_press(GdkEventKey* event);

    const WindowDescription& description_;
    Gtk::Window toplevel_;
    PlacementArea area_;
    std::vector<Control> controls_;
    int client_width_ = 0;
    int client_height_ = 0;
    bool minimised_ = false;
    bool enabled_ = true;

    struct OfferedKey {
        guint32 time;
        guint keyval;
        guint16 keycode;
        bool operator==(const OfferedKey&) const = default;
    };
    std::optional<OfferedKey> key_offered_to_web_view_;
};

}  // namespace rt
