#include "runtime/face_colour.h"

#include <gtkmm.h>

#include <cmath>
#include <optional>

namespace rt {
namespace {

Rgb read_theme_background() {
    Gtk::Window probe;
    Gdk::RGBA background;
    if (!probe.get_style_context()->lookup_color("theme_bg_color", background)) {
        return {246, 245, 244};  // the default theme's window background
    }
    auto channel = [](double value) { return static_cast<std::uint8_t>(std::lround(value * 255)); };
    return {channel(background.get_red()), channel(background.get_green()),
            channel(background.get_blue())};
}

}  // namespace

Rgb face_colour() {
    static const Rgb colour = read_theme_background();
    return colour;
}

}  // namespace rt
