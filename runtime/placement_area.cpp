#include "runtime/placement_area.h"

#include <algorithm>

namespace rt {

PlacementArea::PlacementArea() : Glib::ObjectBase("TavikPlacementArea") {
    set_has_window(false);
}

PlacementArea::~PlacementArea() {
    // Unparent what is left while this object can still answer for it.
    while (!children_.empty()) remove(*children_.back().control);
}

void PlacementArea::place(Gtk::Widget& control, Rect rect) {
    children_.push_back({&control, rect});
    control.set_parent(*this);
}

void PlacementArea::resize(Gtk::Widget& control, int width, int height) {
    Placed* placed = find(control);
    if (placed == nullptr) return;
    placed->rect.width = width;
    placed->rect.height = height;
    // The new size takes effect at once, not at the next layout pass.
    if (get_realized()) allocate(*placed);
    queue_draw();
}

Rect PlacementArea::rect_of(const Gtk::Widget& control) const {
    for (const Placed& placed : children_) {
        if (placed.control == &control) return placed.rect;
    }
    return {};
}

void PlacementArea::set_tab_order(std::vector<Gtk::Widget*> controls) {
    tab_order_ = std::move(controls);
}

void PlacementArea::get_preferred_width_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

void PlacementArea::get_preferred_height_vfunc(int& minimum, int& natural) const {
    minimum = natural = 0;
}

void PlacementArea::on_size_allocate(Gtk::Allocation& allocation) {
    set_allocation(allocation);
    for (Placed& placed : children_) allocate(placed);
}

void PlacementArea::allocate(Placed& placed) {
    // Children must be asked for their size before they are given one.
    int ignored_minimum = 0, ignored_natural = 0;
    placed.control->get_preferred_width(ignored_minimum, ignored_natural);
    placed.control->get_preferred_height(ignored_minimum, ignored_natural);
    Gtk::Allocation own = get_allocation();
    Gtk::Allocation child(own.get_x() + placed.rect.left, own.get_y() + placed.rect.top,
                          std::max(placed.rect.width, 1), std::max(placed.rect.height, 1));
    placed.control->size_allocate(child);
    // GTK cannot allocate less than one pixel; a 0-sized control is hidden instead.
    placed.control->set_child_visible(placed.rect.width > 0 && placed.rect.height > 0);
}

void PlacementArea::forall_vfunc(gboolean, GtkCallback callback, gpointer data) {
    // Copy: the callback may remove children.
    std::vector<Placed> snapshot = children_;
    for (const Placed& placed : snapshot) callback(placed.control->gobj(), data);
}

void PlacementArea::on_remove(Gtk::Widget* control) {
    auto removed =
        std::find_if(children_.begin(), children_.end(),
                     [control](const Placed& placed) { return placed.control == control; });
    if (removed == children_.end()) return;
    std::erase(tab_order_, control);
    children_.erase(removed);
    control->unparent();
}

GType PlacementArea::child_type_vfunc() const {
    return G_TYPE_NONE;
}

PlacementArea::Placed* PlacementArea::find(const Gtk::Widget& control) {
    for (Placed& placed : children_) {
        if (placed.control == &control) return &placed;
    }
    return nullptr;
}

// Tab order: the next (or previous) usable control after the one that has the
// focus, wrapping around.
bool PlacementArea::on_focus(Gtk::DirectionType direction) {
    bool forward = direction == Gtk::DIR_TAB_FORWARD || direction == Gtk::DIR_DOWN ||
                   direction == Gtk::DIR_RIGHT;
    if (tab_order_.empty()) return false;
    auto usable = [](Gtk::Widget* control) {
        return control->get_visible() && control->get_child_visible() && control->is_sensitive();
    };
    auto count = static_cast<long>(tab_order_.size());
    Gtk::Widget* focused = get_focus_child();
    long start = forward ? -1 : count;
    if (focused != nullptr) {
        auto found = std::find(tab_order_.begin(), tab_order_.end(), focused);
        // Moving within a control (the web view through its page) is the
        // control's own business, done before the key reaches the window.
        if (found != tab_order_.end()) start = found - tab_order_.begin();
    }
    for (long step = 1; step <= count; ++step) {
        long index = ((start + (forward ? step : -step)) % count + count) % count;
        Gtk::Widget* candidate = tab_order_[index];
        if (usable(candidate) && candidate->child_focus(direction)) return true;
    }
    return false;
}

}  // namespace rt
