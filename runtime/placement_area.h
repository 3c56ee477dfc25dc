#pragma once

#include <gtkmm.h>

#include <vector>

namespace rt {

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// A container that puts each control at its own place and size, whatever the
// control would like and whatever the window's size: controls may overlap and
// reach past the window's edges. It asks for no room of its own, so the
// controls never resize the window. Children are painted in the order they
// were placed: a child placed later lies above the earlier ones.
class PlacementArea : public Gtk::Container {
  public:
    PlacementArea();
    ~PlacementArea() override;

    void place(Gtk::Widget& control, Rect rect);
    void resize(Gtk::Widget& control, int width, int height);
    Rect rect_of(const Gtk::Widget& control) const;

    // The controls Tab visits, in order; Shift+Tab goes the other way, both wrap.
    void set_tab_order(std::vector<Gtk::Widget*> controls);

  protected:
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    void on_size_allocate(Gtk::Allocation& allocation) override;
    void forall_vfunc(gboolean include_internals, GtkCallback callback, gpointer data) override;
    void on_remove(Gtk::Widget* control) override;
    GType child_type_vfunc() const override;
    bool on_focus(Gtk::DirectionType direction) override;

  private:
    struct Placed {
        Gtk::Widget* control;
        Rect rect;
    };
    void allocate(Placed& placed);
    Placed* find(const Gtk::Widget& control);

    std::vector<Placed> children_;
    std::vector<Gtk::Widget*> tab_order_;
};

}  // namespace rt
