#pragma once

#include <memory>
#include <string>
#include <vector>

#include "runtime/window_description.h"

// What tests of the visual style may make and look at, without the toolkit's
// types: single controls drawn offscreen in a chosen look state.
namespace rt::style_testing {

// The 3-D face colour as the theme paints window backgrounds.
Rgb window_background();

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // row by row, top row first

    Rgb at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }
    bool operator==(const Picture&) const = default;
};

// Writes the picture as a PNG file; false when it could not be written.
bool save_png(const Picture& picture, const std::string& path);

enum class Sample {
    push_button,
    toggle_button,
    check_box,
    edit_box,
    combo_box,
    spin_control,
    group_box,
    label,
    drawing_area,
    link_button,
};

enum class Look {
    normal,
    hovered,
    focused,
    pressed,
    disabled,
    checked,         // toggle buttons and check boxes
    default_button,  // push buttons
    read_only,       // edit boxes
    indeterminate,   // toggle buttons and check boxes
};

// One control of the kind in a window of its own that is never shown on the
// screen. The control is made when the object is, so tests can make it before
// or after applying a scheme.
class SampleControl {
  public:
    // The caption is UTF-8: a button's caption, an edit box's text, a label's text.
    SampleControl(Sample kind, const std::string& caption, int width, int height);
    ~SampleControl();
    SampleControl(const SampleControl&) = delete;
    SampleControl& operator=(const SampleControl&) = delete;

    // Puts the control into the look state; states add up.
    void show_look(Look look);

    // The control drawn at exactly its width and height on the window background.
    Picture render();

  private:
    struct Widgets;
    std::unique_ptr<Widgets> widgets_;
};

// Shorthand: a fresh control in one look state, rendered.
Picture render_sample(Sample kind, const std::string& caption, int width, int height,
                      Look look = Look::normal);

// Opens a message dialog with an OK button on the screen, renders that button at
// the size the dialog gave it, and closes the dialog again.
Picture render_message_dialog_button();

}  // namespace rt::style_testing
