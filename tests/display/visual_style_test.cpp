#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/visual_style.h"
#include "runtime/visual_style_testing.h"

namespace rt {
void PrintTo(const Rgb& colour, std::ostream* out) {
    *out << "RGB(" << int{colour.red} << ", " << int{colour.green} << ", " << int{colour.blue}
         << ")";
}
}  // namespace rt

namespace {

using rt::Rgb;
using rt::style_testing::Look;
using rt::style_testing::Picture;
using rt::style_testing::render_sample;
using rt::style_testing::Sample;
using rt::style_testing::SampleControl;

// The program's own controls and sizes.
constexpr int button_width = 72;
constexpr int button_height = 24;
constexpr int edit_width = 184;
constexpr int edit_height = 24;
const std::string search_caption = "搜索";

constexpr Rgb white{255, 255, 255};
constexpr Rgb olive_frame{55, 98, 6};
constexpr Rgb orange_band_top{255, 240, 207};
constexpr Rgb orange_band_bottom{229, 151, 0};
constexpr Rgb quiet_band_bottom{226, 223, 214};
constexpr Rgb pressed_colour{239, 227, 206};
constexpr Rgb face_top{252, 252, 251};
constexpr Rgb face_bottom{236, 225, 201};
constexpr Rgb disabled_fill{245, 244, 234};
constexpr Rgb grey_caption{165, 162, 148};
constexpr Rgb field_border{164, 185, 127};

// Gradient ends are a pixel away from the exact end colour, and anti-aliased
// glyphs never quite reach their colour.
constexpr int gradient_tolerance = 6;
constexpr int caption_tolerance = 3;

Rgb face_minus_32() {
    const Rgb face = rt::style_testing::window_background();
    return {static_cast<std::uint8_t>(face.red - 32), static_cast<std::uint8_t>(face.green - 32),
            static_cast<std::uint8_t>(face.blue - 32)};
}

int distance(Rgb a, Rgb b) {
    return std::max(
        {std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
}

testing::AssertionResult near(Rgb actual, Rgb expected, int tolerance) {
    if (distance(actual, expected) <= tolerance) return testing::AssertionSuccess();
    return testing::AssertionFailure() << testing::PrintToString(actual) << " is not within "
                                       << tolerance << " of " << testing::PrintToString(expected);
}

bool is_caption_ink(Rgb pixel) {
    return std::max({pixel.red, pixel.green, pixel.blue}) < 128;
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Box&) const = default;
};

// The smallest box around the caption's dark pixels, inside the face.
std::optional<Box> caption_box(const Picture& picture) {
    std::optional<Box> box;
    for (int y = 4; y < picture.height - 4; ++y) {
        for (int x = 4; x < picture.width - 4; ++x) {
            if (!is_caption_ink(picture.at(x, y))) continue;
            if (!box) box = Box{x, y, x, y};
            box = Box{std::min(box->left, x), std::min(box->top, y), std::max(box->right, x),
                      std::max(box->bottom, y)};
        }
    }
    return box;
}

// The darkest pixel of the face: the caption's colour where a stroke covers a
// whole pixel.
Rgb darkest_in_face(const Picture& picture) {
    Rgb darkest = white;
    for (int y = 4; y < picture.height - 4; ++y) {
        for (int x = 4; x < picture.width - 4; ++x) {
            const Rgb pixel = picture.at(x, y);
            if (pixel.red + pixel.green + pixel.blue < darkest.red + darkest.green + darkest.blue) {
                darkest = pixel;
            }
        }
    }
    return darkest;
}

Picture search_button(Look look) {
    return render_sample(Sample::push_button, search_caption, button_width, button_height, look);
}

class VisualStyle : public testing::Test {
  protected:
    void SetUp() override { rt::apply_visual_style(2); }
    // Other display tests in this process expect the toolkit's own look.
    void TearDown() override { rt::apply_visual_style(0); }
};

// Pixels of a 72 x 24 push button, from the outside in, along a column left of
// the caption: row 0 ring, row 1 frame, rows 2-3 band, rows 4-19 face, rows
// 20-21 band, row 22 frame, row 23 ring.
struct PushButtonLook {
    Look look;
    const char* name;
    Rgb band_top;
    Rgb band_bottom;
    Rgb face_top;
    Rgb face_bottom;
};

class PushButtonLooks : public VisualStyle, public testing::WithParamInterface<PushButtonLook> {};

TEST_P(PushButtonLooks, RingFrameBandAndFace) {
    const PushButtonLook& expected = GetParam();
    const Picture button = search_button(expected.look);
    const Rgb face = rt::style_testing::window_background();
    constexpr int column = 8;

    for (auto [x, y] : {std::pair{36, 0}, {36, 23}, {0, 12}, {71, 12}}) {
        EXPECT_EQ(button.at(x, y), face) << "ring at " << x << "," << y;
    }
    for (auto [x, y] : {std::pair{36, 1}, {36, 22}, {1, 12}, {70, 12}}) {
        EXPECT_EQ(button.at(x, y), olive_frame) << "frame at " << x << "," << y;
    }
    EXPECT_NE(button.at(1, 1), olive_frame) << "corners are rounded";
    EXPECT_TRUE(near(button.at(column, 2), expected.band_top, gradient_tolerance)) << "band top";
    EXPECT_TRUE(near(button.at(column, 21), expected.band_bottom, gradient_tolerance))
        << "band bottom";
    EXPECT_TRUE(near(button.at(column, 4), expected.face_top, gradient_tolerance)) << "face top";
    EXPECT_TRUE(near(button.at(column, 19), expected.face_bottom, gradient_tolerance))
        << "face bottom";
    EXPECT_TRUE(near(darkest_in_face(button), {0, 0, 0}, 16)) << "caption is black";
}

INSTANTIATE_TEST_SUITE_P(
    SchemeTwo, PushButtonLooks,
    testing::Values(PushButtonLook{Look::normal, "normal", white, quiet_band_bottom, face_top,
                                   face_bottom},
                    PushButtonLook{Look::hovered, "hovered", orange_band_top, orange_band_bottom,
                                   face_top, face_bottom},
                    PushButtonLook{Look::focused, "focused", orange_band_top, orange_band_bottom,
                                   face_top, face_bottom},
                    PushButtonLook{Look::default_button, "default", orange_band_top,
                                   orange_band_bottom, face_top, face_bottom},
                    PushButtonLook{Look::pressed, "pressed", pressed_colour, pressed_colour,
                                   pressed_colour, pressed_colour}),
    [](const testing::TestParamInfo<PushButtonLook>& info) { return info.param.name; });

TEST_F(VisualStyle, PressedFlatColoursAreExact) {
    const Picture pressed = search_button(Look::pressed);
    for (int y : {2, 3, 4, 12, 19, 20, 21}) EXPECT_EQ(pressed.at(8, y), pressed_colour) << y;
}

TEST_F(VisualStyle, PressingMovesTheCaptionOnePixelRightAndDown) {
    const auto normal = caption_box(search_button(Look::normal));
    const auto pressed = caption_box(search_button(Look::pressed));
    ASSERT_TRUE(normal && pressed);
    EXPECT_EQ(*pressed,
              (Box{normal->left + 1, normal->top + 1, normal->right + 1, normal->bottom + 1}));
}

TEST_F(VisualStyle, FocusedButtonShowsAFocusRectangleInsideTheFace) {
    // Column 5 lies between the band and the caption.
    auto has_ink_in_column_5 = [](const Picture& picture) {
        for (int y = 5; y < 19; ++y) {
            if (is_caption_ink(picture.at(5, y))) return true;
        }
        return false;
    };
    EXPECT_TRUE(has_ink_in_column_5(search_button(Look::focused)));
    EXPECT_FALSE(has_ink_in_column_5(search_button(Look::hovered)));
}

TEST_F(VisualStyle, DisabledButtonIsFilledInsideADimmedFrame) {
    const Picture button = search_button(Look::disabled);
    EXPECT_EQ(button.at(36, 1), face_minus_32());
    EXPECT_EQ(button.at(1, 12), face_minus_32());
    for (int y : {2, 3, 4, 12, 19, 20, 21}) EXPECT_EQ(button.at(8, y), disabled_fill) << y;
    EXPECT_TRUE(near(darkest_in_face(button), grey_caption, caption_tolerance));
}

TEST_F(VisualStyle, CheckedToggleButtonHasTheFlatFaceInsideTheNormalBand) {
    const Picture button = render_sample(Sample::toggle_button, search_caption, button_width,
                                         button_height, Look::checked);
    EXPECT_EQ(button.at(8, 12), pressed_colour);
    EXPECT_TRUE(near(button.at(8, 2), white, gradient_tolerance));
    EXPECT_TRUE(near(button.at(8, 21), quiet_band_bottom, gradient_tolerance));
}

TEST_F(VisualStyle, IndeterminateToggleButtonHasAGreyCaption) {
    const Picture button = render_sample(Sample::toggle_button, search_caption, button_width,
                                         button_height, Look::indeterminate);
    EXPECT_TRUE(near(darkest_in_face(button), grey_caption, caption_tolerance));
}

// Colours that depend on the theme are looked up when a test runs, after the
// toolkit has been set up.
using Colour = Rgb (*)();
Rgb field_border_colour() {
    return field_border;
}
Rgb white_colour() {
    return white;
}
Rgb face_colour() {
    return rt::style_testing::window_background();
}

struct EditBoxLook {
    Look look;
    const char* name;
    Colour border;
    Colour inside;  // the pixel inside the border
};

class EditBoxLooks : public VisualStyle, public testing::WithParamInterface<EditBoxLook> {};

TEST_P(EditBoxLooks, BorderAndThePixelInsideIt) {
    const EditBoxLook& expected = GetParam();
    const Picture edit =
        render_sample(Sample::edit_box, "film", edit_width, edit_height, expected.look);
    for (auto [x, y] : {std::pair{120, 0}, {120, 23}, {0, 12}, {183, 12}}) {
        EXPECT_EQ(edit.at(x, y), expected.border()) << "border at " << x << "," << y;
    }
    for (auto [x, y] : {std::pair{120, 1}, {120, 22}, {1, 12}, {182, 12}}) {
        EXPECT_EQ(edit.at(x, y), expected.inside()) << "inside at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SchemeTwo, EditBoxLooks,
    testing::Values(EditBoxLook{Look::normal, "normal", field_border_colour, white_colour},
                    EditBoxLook{Look::focused, "focused", field_border_colour, white_colour},
                    EditBoxLook{Look::hovered, "hovered", field_border_colour, white_colour},
                    EditBoxLook{Look::read_only, "read_only", field_border_colour, face_colour},
                    EditBoxLook{Look::disabled, "disabled", face_minus_32, face_colour}),
    [](const testing::TestParamInfo<EditBoxLook>& info) { return info.param.name; });

TEST_F(VisualStyle, ComboBoxAndSpinControlHaveTheFieldBorder) {
    for (Sample kind : {Sample::combo_box, Sample::spin_control}) {
        const Picture control = render_sample(kind, "film", 120, 24);
        EXPECT_EQ(control.at(0, 12), field_border);
        EXPECT_EQ(control.at(60, 0), field_border);
        EXPECT_EQ(control.at(60, 23), field_border);
    }
}

TEST_F(VisualStyle, ResultAndStoredNumber) {
    for (int scheme : {1, 2, 3}) {
        EXPECT_TRUE(rt::apply_visual_style(scheme));
        EXPECT_EQ(rt::visual_style_scheme(), scheme);
    }
    for (int scheme : {0, 4, -1, 2147483647}) {
        EXPECT_FALSE(rt::apply_visual_style(scheme));
        EXPECT_EQ(rt::visual_style_scheme(), scheme) << "out-of-range numbers are kept too";
    }
}

TEST_F(VisualStyle, SchemesOneAndThreeShareTheShapesInOtherColours) {
    std::vector<Rgb> frames;
    for (int scheme : {1, 2, 3}) {
        rt::apply_visual_style(scheme);
        const Picture button = search_button(Look::normal);
        EXPECT_EQ(button.at(36, 0), rt::style_testing::window_background()) << scheme;
        EXPECT_EQ(button.at(36, 1), button.at(1, 12)) << "one frame colour all round";
        frames.push_back(button.at(36, 1));
    }
    EXPECT_NE(frames[0], frames[1]);
    EXPECT_NE(frames[1], frames[2]);
    EXPECT_NE(frames[0], frames[2]);
}

TEST_F(VisualStyle, ApplyingTheSameSchemeTwiceStylesOnce) {
    SampleControl button(Sample::push_button, search_caption, button_width, button_height);
    const Picture once = button.render();
    rt::apply_visual_style(2);
    EXPECT_EQ(button.render(), once);
    // Had the second call stacked a second style, one removal would not be enough.
    rt::apply_visual_style(0);
    const Picture removed = button.render();
    EXPECT_NE(removed.at(36, 1), olive_frame);
    EXPECT_EQ(removed, search_button(Look::normal)) << "same as a button never styled";
}

TEST_F(VisualStyle, OtherNumbersGiveRestyledControlsTheirOwnLookBack) {
    rt::apply_visual_style(0);
    SampleControl button(Sample::push_button, search_caption, button_width, button_height);
    SampleControl edit(Sample::edit_box, "film", edit_width, edit_height);
    const Picture own_button = button.render();
    const Picture own_edit = edit.render();

    rt::apply_visual_style(2);  // restyles the existing controls
    EXPECT_EQ(button.render().at(36, 1), olive_frame);
    EXPECT_EQ(edit.render().at(0, 12), field_border);

    EXPECT_FALSE(rt::apply_visual_style(5));
    EXPECT_EQ(button.render(), own_button);
    EXPECT_EQ(edit.render(), own_edit);
}

TEST_F(VisualStyle, ControlsMadeAfterRemovalKeepTheirOwnLook) {
    rt::apply_visual_style(0);
    const Picture never_styled = search_button(Look::normal);
    rt::apply_visual_style(2);
    rt::apply_visual_style(0);
    EXPECT_EQ(search_button(Look::normal), never_styled);
}

TEST_F(VisualStyle, IneligibleControlsKeepTheirOwnLook) {
    for (Sample kind : {Sample::label, Sample::drawing_area, Sample::link_button}) {
        rt::apply_visual_style(0);
        const Picture own = render_sample(kind, search_caption, button_width, button_height);
        rt::apply_visual_style(2);
        EXPECT_EQ(render_sample(kind, search_caption, button_width, button_height), own)
            << static_cast<int>(kind);
    }
}

TEST_F(VisualStyle, MessageDialogOpenedLaterHasStyledButtons) {
    const Picture ok = rt::style_testing::render_message_dialog_button();
    ASSERT_GT(ok.height, 2);
    EXPECT_EQ(ok.at(ok.width / 2, 0), rt::style_testing::window_background());
    EXPECT_EQ(ok.at(ok.width / 2, 1), olive_frame);
    EXPECT_EQ(ok.at(ok.width / 2, ok.height - 2), olive_frame);
}

}  // namespace
