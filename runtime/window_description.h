#pragma once

#include <cstdint>
#include <span>

// The constant description of a window and its controls, from which the run
// time builds the window on every load. Texts here are UTF-8.
namespace rt {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    constexpr bool operator==(const Rgb&) const = default;
};

// An event handler of the program: no arguments, no result.
using Handler = void (*)();

enum class ControlKind {
    label,              // opaque, single line, left-aligned, vertically centred
    transparent_label,  // no background, word-wrapped from the top-left corner
    edit_box,           // single-line entry with a sunken border
    button,             // push button, caption centred
    hyperlink_box,      // one centred line that opens its web address on a click
    web_view,           // the embedded browser engine
    picture_box,        // a JPEG drawn at its own size from the top-left corner
};

// A font of a control's own; without a family the standard GUI font is used.
struct Font {
    const char* family = nullptr;
    int pixel_height = 0;
};

struct LinkColours {
    Rgb normal;
    Rgb visited;  // after a click that opened the target
    Rgb hover;    // while the mouse pointer is over the box
};

struct ControlDescription {
    ControlKind kind;
    const char* name;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool tab_stop = false;
    const char* text = "";
    Rgb text_colour{};
    Font font{};
    const char* web_address = "";  // hyperlink box: its target
    LinkColours link_colours{};
    std::span<const unsigned char> picture{};  // picture box: JPEG bytes
    Handler clicked = nullptr;                 // button
};

struct WindowDescription {
    const char* title;
    // The title bar icon: PNG images of one picture in several sizes.
    std::span<const std::span<const unsigned char>> icon{};
    int stored_left = 50;  // kept as stored; windows are centred on the screen instead
    int stored_top = 50;
    int width = 0;  // outer size, frame and title bar included
    int height = 0;
    bool minimise_box = true;
    bool maximise_box = true;
    bool escape_closes = true;
    bool visible_when_loaded = true;
    Handler created = nullptr;
    Handler size_changed = nullptr;
    // In stacking order, the first on top; the tab order is the reverse.
    std::span<const ControlDescription> controls;
};

}  // namespace rt
