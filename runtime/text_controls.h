#pragma once

#include <gtkmm.h>

#include <string>

#include "runtime/window_description.h"

namespace rt {

Gdk::RGBA to_rgba(Rgb colour);

// The GDK window that takes a widget's input: an input-only window it keeps
// among its parent window's children (buttons, invisible event boxes), or
// else the window it draws in.
GdkWindow* input_window_of(Gtk::Widget& widget);

// The standard GUI font, or the control's own font when its description names one.
Pango::FontDescription font_for(const Font& font);

// Labels: text drawn by the run time itself so that colours, clipping and line
// layout are exactly the described ones. Opaque labels fill their box with the
// window's face colour first; transparent labels draw only their letters.
class TextLabel : public Gtk::EventBox {
  public:
    explicit TextLabel(const ControlDescription& description);
    const std::string& text() const { return text_; }
    Rgb text_colour() const { return colour_; }

  protected:
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

  private:
    void draw_wrapped(const Cairo::RefPtr<Cairo::Context>& cr, int width);

    bool transparent_;
    std::string text_;
    Rgb colour_;
    Pango::FontDescription font_;
};

// One centred line that opens its web address with the desktop's handler on a
// press of the left mouse button. Blue, the hover colour under the pointer and
// the visited colour after a click that opened the target.
class HyperlinkBox : public Gtk::EventBox {
  public:
    explicit HyperlinkBox(const ControlDescription& description);
    const std::string& shown_text() const { return shown_text_; }
    Rgb current_colour() const;
    bool hovered() const { return hovered_; }
    bool visited() const { return visited_; }
    void open_target();

  protected:
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
    void on_realize() override;
    bool on_enter_notify_event(GdkEventCrossing* event) override;
    bool on_leave_notify_event(GdkEventCrossing* event) override;
    bool on_button_press_event(GdkEventButton* event) override;

  private:
    void set_hovered(bool hovered);

    std::string shown_text_;
    std::string target_;
    LinkColours colours_;
    Pango::FontDescription font_;
    bool hovered_ = false;
    bool visited_ = false;
};

}  // namespace rt
