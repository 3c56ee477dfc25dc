#include "runtime/text_controls.h"

#include "runtime/desktop.h"
#include "runtime/face_colour.h"

namespace rt {
namespace {

// A 12-pixel CJK font whose full-width characters are 12 pixels wide and Latin
// ones about 6, the metrics the fixed layouts of both windows are drawn for.
constexpr const char* kStandardGuiFamilies = "WenQuanYi Zen Hei Sharp,WenQuanYi Zen Hei,sans-serif";
constexpr int kStandardGuiPixels = 12;

void fill(const Cairo::RefPtr<Cairo::Context>& cr, Rgb colour, int width, int height) {
    cr->set_source_rgb(colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
    cr->rectangle(0, 0, width, height);
    cr->fill();
}

void set_source(const Cairo::RefPtr<Cairo::Context>& cr, Rgb colour) {
    cr->set_source_rgb(colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

Glib::RefPtr<Pango::Layout> single_line(Gtk::Widget& widget, const std::string& text,
                                        const Pango::FontDescription& font) {
    auto layout = widget.create_pango_layout(text);
    layout->set_font_description(font);
    layout->set_single_paragraph_mode(true);  // line breaks do not start a new line
    return layout;
}

}  // namespace

Gdk::RGBA to_rgba(Rgb colour) {
    Gdk::RGBA rgba;
    rgba.set_rgba(colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
    return rgba;
}

GdkWindow* input_window_of(Gtk::Widget& widget) {
    GdkWindow* parent = widget.get_window()->gobj();
    for (GList* child = gdk_window_peek_children(parent); child != nullptr; child = child->next) {
        gpointer owner = nullptr;
        gdk_window_get_user_data(static_cast<GdkWindow*>(child->data), &owner);
        if (owner == widget.gobj()) return static_cast<GdkWindow*>(child->data);
    }
    return parent;
}

Pango::FontDescription font_for(const Font& font) {
    Pango::FontDescription description;
    description.set_family(font.family != nullptr ? font.family : kStandardGuiFamilies);
    int pixels = font.family != nullptr ? font.pixel_height : kStandardGuiPixels;
    description.set_absolute_size(pixels * PANGO_SCALE);
    description.set_weight(Pango::WEIGHT_NORMAL);
    description.set_style(Pango::STYLE_NORMAL);
    return description;
}

TextLabel::TextLabel(const ControlDescription& description)
    : transparent_(description.kind == ControlKind::transparent_label),
      text_(description.text),
      colour_(description.text_colour),
      font_(font_for(description.font)) {
    set_visible_window(false);
    set_can_focus(false);
}

void TextLabel::get_preferred_width_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

void TextLabel::get_preferred_height_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

bool TextLabel::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    int width = get_allocated_width();
    int height = get_allocated_height();
    cr->rectangle(0, 0, width, height);
    cr->clip();  // text that runs past the box is cut off at its edges
    if (transparent_) {
        draw_wrapped(cr, width);
        return true;
    }
    fill(cr, face_colour(), width, height);
    auto layout = single_line(*this, text_, font_);
    int text_width = 0, text_height = 0;
    layout->get_pixel_size(text_width, text_height);
    set_source(cr, colour_);
    cr->move_to(0, (height - text_height) / 2);
    layout->show_in_cairo_context(cr);
    return true;
}

// Word wrap from the top-left corner, "\r\n" ending a line, one line every
// font height: the two-line prompt fits its 24-pixel box.
void TextLabel::draw_wrapped(const Cairo::RefPtr<Cairo::Context>& cr, int width) {
    auto layout = create_pango_layout(text_);
    layout->set_font_description(font_);
    layout->set_width(width * PANGO_SCALE);
    layout->set_wrap(Pango::WRAP_WORD_CHAR);
    double line_pitch = font_.get_size() / static_cast<double>(PANGO_SCALE);
    set_source(cr, colour_);
    Pango::LayoutIter line = layout->get_iter();
    double first_baseline = line.get_baseline() / static_cast<double>(PANGO_SCALE);
    int index = 0;
    do {
        cr->move_to(0, first_baseline + index * line_pitch);
        line.get_line()->show_in_cairo_context(cr);
        ++index;
    } while (line.next_line());
}

HyperlinkBox::HyperlinkBox(const ControlDescription& description)
    : shown_text_(*description.text != '\0' ? description.text : description.web_address),
      target_(description.web_address),
      colours_(description.link_colours),
      font_(font_for(description.font)) {
    set_visible_window(false);
    set_above_child(true);
    set_can_focus(false);  // it reacts to no key and is never a tab stop
    add_events(Gdk::ENTER_NOTIFY_MASK | Gdk::LEAVE_NOTIFY_MASK | Gdk::BUTTON_PRESS_MASK);
}

Rgb HyperlinkBox::current_colour() const {
    if (hovered_) return colours_.hover;
    return visited_ ? colours_.visited : colours_.normal;
}

void HyperlinkBox::get_preferred_width_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

void HyperlinkBox::get_preferred_height_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

void HyperlinkBox::on_realize() {
    Gtk::EventBox::on_realize();
    // The input window of an invisible event box carries the pointer shape.
    auto display = get_display();
    auto hand = Gdk::Cursor::create(display, "pointer");
    if (!hand) hand = Gdk::Cursor::create(display, Gdk::HAND2);
    // The pointer shape belongs to the invisible event box's input-only window.
    GdkWindow* input = input_window_of(*this);
    if (hand && input != get_window()->gobj()) gdk_window_set_cursor(input, hand->gobj());
}

bool HyperlinkBox::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
    int width = get_allocated_width();
    int height = get_allocated_height();
    cr->rectangle(0, 0, width, height);
    cr->clip();
    fill(cr, face_colour(), width, height);
    auto layout = single_line(*this, shown_text_, font_);
    int text_width = 0, text_height = 0;
    layout->get_pixel_size(text_width, text_height);
    set_source(cr, current_colour());
    cr->move_to((width - text_width) / 2, (height - text_height) / 2);
    layout->show_in_cairo_context(cr);
    return true;
}

bool HyperlinkBox::on_enter_notify_event(GdkEventCrossing*) {
    set_hovered(true);
    return false;
}

bool HyperlinkBox::on_leave_notify_event(GdkEventCrossing*) {
    set_hovered(false);
    return false;
}

bool HyperlinkBox::on_button_press_event(GdkEventButton* event) {
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY) open_target();
    return true;
}

void HyperlinkBox::open_target() {
    visited_ = !target_.empty() && open_with_desktop(target_);
    queue_draw();
}

void HyperlinkBox::set_hovered(bool hovered) {
    if (hovered_ == hovered) return;
    hovered_ = hovered;
    queue_draw();
}

}  // namespace rt
