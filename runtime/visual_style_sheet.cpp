#include "runtime/visual_style_sheet.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace rt::visual_style {
namespace {

constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};

// Olive green: the scheme the program itself uses.
constexpr ColourSet olive{
    .frame = {55, 98, 6},
    .hot_band = {{255, 240, 207}, {229, 151, 0}},
    .quiet_band = {white, {226, 223, 214}},
    .pressed = {239, 227, 206},
    .face = {{252, 252, 251}, {236, 225, 201}},
    .disabled_fill = {245, 244, 234},
    .disabled_caption = {165, 162, 148},
    .field_border = {164, 185, 127},
};

constexpr ColourSet blue{
    .frame = {0, 60, 116},
    .hot_band = {{206, 231, 255}, {105, 130, 238}},
    .quiet_band = {white, {214, 208, 197}},
    .pressed = {226, 225, 218},
    .face = {white, {236, 235, 230}},
    .disabled_fill = {245, 244, 234},
    .disabled_caption = {161, 161, 146},
    .field_border = {127, 157, 185},
};

constexpr ColourSet silver{
    .frame = {21, 29, 37},
    .hot_band = {{254, 254, 254}, {150, 168, 198}},
    .quiet_band = {white, {214, 214, 224}},
    .pressed = {220, 220, 228},
    .face = {{253, 253, 253}, {224, 224, 232}},
    .disabled_fill = {245, 244, 234},
    .disabled_caption = {165, 165, 165},
    .field_border = {165, 172, 178},
};

std::string css(Rgb colour) {
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
           std::to_string(colour.blue) + ")";
}

std::string css(Gradient gradient) {
    return "linear-gradient(to bottom, " + css(gradient.top) + ", " + css(gradient.bottom) + ")";
}

// A flat layer: background-image takes images, not colours.
std::string flat(Rgb colour) {
    return "image(" + css(colour) + ")";
}

// Replaces every @name@ in the template by its value.
std::string fill_in(std::string text,
                    const std::vector<std::pair<std::string, std::string>>& values) {
    for (const auto& [name, value] : values) {
        const std::string token = "@" + name + "@";
        for (auto at = text.find(token); at != std::string::npos; at = text.find(token, at)) {
            text.replace(at, token.size(), value);
            at += value.size();
        }
    }
    return text;
}

// Push buttons are two background layers: the face on the content box over the
// band, which is the two-pixel padding between the frame (the border) and the
// content. The ring outside the frame is a spread shadow in the face colour,
// drawn in the one-pixel margin. The caption sits in a one-pixel margin of its
// own so that pressing can move it one pixel right and down without changing
// the size the button asks for. Each state rule excludes the states that win
// over it, so the outcome does not hang on selector weights.
constexpr const char* push_button_template = R"(
button.@class@ {
  min-height: 0; min-width: 0; margin: 1px; padding: 2px;
  border: 1px solid @frame@; border-radius: 3px;
  box-shadow: 0 0 0 1px @face@;
  background-color: transparent;
  background-image: @gradient_face@, @quiet_band@;
  background-origin: content-box, padding-box;
  background-clip: content-box, padding-box;
  color: @caption@; text-shadow: none; -gtk-icon-shadow: none;
  outline-color: @caption@; outline-style: dotted; outline-width: 1px; outline-offset: -5px;
  -gtk-outline-radius: 0; transition: none;
}
button.@class@ > * { margin: 1px; }
button.@class@ label { color: inherit; }
button.@class@:checked:not(:disabled) { background-image: @flat_face@, @quiet_band@; }
button.@class@:hover:not(:active):not(:disabled),
button.@class@:focus:not(:active):not(:disabled),
button.@class@.default:not(:active):not(:disabled) {
  background-image: @gradient_face@, @hot_band@;
}
button.@class@:checked:hover:not(:active):not(:disabled),
button.@class@:checked:focus:not(:active):not(:disabled),
button.@class@.default:checked:not(:active):not(:disabled) {
  background-image: @flat_face@, @hot_band@;
}
button.@class@:active:not(:disabled) { background-image: @flat_face@, @flat_face@; }
button.@class@:active:not(:disabled) > * { margin: 2px 0 0 2px; }
button.@class@:disabled {
  border-color: @disabled_frame@; color: @disabled_caption@;
  background-image: @flat_disabled_fill@, @flat_disabled_fill@;
}
button.@class@:disabled:checked, button.@class@:disabled:active {
  background-image: @flat_face@, @flat_disabled_fill@;
}
button.@class@:indeterminate { color: @disabled_caption@; }
)";

constexpr const char* indicator_template = R"(
checkbutton.@class@ > check, radiobutton.@class@ > radio {
  border: 1px solid @frame@; background-image: @gradient_face@; box-shadow: none;
  color: @caption@; -gtk-icon-shadow: none; transition: none;
}
checkbutton.@class@:hover > check, radiobutton.@class@:hover > radio {
  border-color: @hot_edge@;
}
checkbutton.@class@:active > check, radiobutton.@class@:active > radio {
  background-image: @flat_face@;
}
checkbutton.@class@:disabled > check, radiobutton.@class@:disabled > radio {
  border-color: @disabled_frame@; background-image: @flat_disabled_fill@; color: @disabled_caption@;
}
checkbutton.@class@:disabled label, radiobutton.@class@:disabled label { color: @disabled_caption@; }
)";

// The inset shadow is the one pixel of the box's own background inside the border.
constexpr const char* field_template = R"(
entry.@class@, spinbutton.@class@:not(.vertical), combobox.@class@ > box > button.combo {
  min-height: 0; padding-top: 0; padding-bottom: 0;
  border: 1px solid @field_border@; border-radius: 0; background-image: none;
  background-color: @base@; box-shadow: inset 0 0 0 1px @base@; transition: none;
}
entry.@class@ { padding-left: 3px; padding-right: 3px; }
spinbutton.@class@:not(.vertical) > entry { min-height: 0; }
combobox.@class@ > box > button.combo {
  margin: 0; padding-left: 4px; padding-right: 4px; text-shadow: none; -gtk-icon-shadow: none;
}
entry.@class@.@read_only_class@, entry.@class@:disabled, spinbutton.@class@:disabled,
combobox.@class@:disabled > box > button.combo {
  background-color: @face@; box-shadow: inset 0 0 0 1px @face@;
}
entry.@class@:disabled, spinbutton.@class@:disabled,
combobox.@class@:disabled > box > button.combo {
  border-color: @disabled_frame@;
}
frame.@class@ > border { border-color: @field_border@; }
frame.@class@:disabled > border { border-color: @disabled_frame@; }
)";

}  // namespace

std::optional<ColourSet> colour_set(int scheme) {
    switch (scheme) {
        case 1:
            return blue;
        case 2:
            return olive;
        case 3:
            return silver;
        default:
            return std::nullopt;
    }
}

Rgb disabled_frame(Rgb face) {
    auto darker = [](std::uint8_t channel) {
        return static_cast<std::uint8_t>(std::max(0, channel - 32));
    };
    return {darker(face.red), darker(face.green), darker(face.blue)};
}

std::string style_sheet(const ColourSet& colours, const ThemeColours& theme) {
    const std::string sheet =
        std::string(push_button_template) + indicator_template + field_template;
    return fill_in(sheet, {
                              {"class", std::string(restyled_class)},
                              {"read_only_class", std::string(read_only_class)},
                              {"frame", css(colours.frame)},
                              {"face", css(theme.face)},
                              {"base", css(theme.base)},
                              {"caption", css(black)},
                              {"gradient_face", css(colours.face)},
                              {"flat_face", flat(colours.pressed)},
                              {"quiet_band", css(colours.quiet_band)},
                              {"hot_band", css(colours.hot_band)},
                              {"hot_edge", css(colours.hot_band.bottom)},
                              {"disabled_frame", css(disabled_frame(theme.face))},
                              {"disabled_fill", css(colours.disabled_fill)},
                              {"flat_disabled_fill", flat(colours.disabled_fill)},
                              {"disabled_caption", css(colours.disabled_caption)},
                              {"field_border", css(colours.field_border)},
                          });
}

}  // namespace rt::visual_style
