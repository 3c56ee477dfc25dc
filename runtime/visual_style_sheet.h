#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "runtime/window_description.h"

// The style sheet behind the visual style: colour sets of the three schemes and
// the CSS text that paints them. Free of toolkit types so that it stays small
// and readable on its own.
namespace rt::visual_style {

// Style class that marks a restyled control; the sheet only ever selects nodes
// carrying it, so nothing else changes look.
inline constexpr std::string_view restyled_class = "tavik-restyled";

// The toolkit marks no read-only state on edit boxes; restyled ones carry this.
inline constexpr std::string_view read_only_class = "tavik-read-only";

struct Gradient {
    Rgb top;
    Rgb bottom;
};

struct ColourSet {
    Rgb frame;            // push button outline, drawn with rounded corners
    Gradient hot_band;    // band while hovered, focused or default
    Gradient quiet_band;  // band in the normal state
    Rgb pressed;          // band and face while pressed; face while checked
    Gradient face;
    Rgb disabled_fill;     // inside the frame of a disabled push button
    Rgb disabled_caption;  // also the caption of an indeterminate button
    Rgb field_border;      // edit box, combo box, spin control and group box
};

// The colour set of scheme 1, 2 or 3; nothing for any other number.
std::optional<ColourSet> colour_set(int scheme);

// Colours that come from the theme rather than from the scheme.
struct ThemeColours {
    Rgb face;  // the 3-D face colour: the theme's window background
    Rgb base;  // an edit box's own background
};

// The face colour with 32 taken off each channel: frames of disabled controls.
Rgb disabled_frame(Rgb face);

std::string style_sheet(const ColourSet& colours, const ThemeColours& theme);

}  // namespace rt::visual_style
