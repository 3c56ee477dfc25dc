#include "runtime/visual_style.h"

#include "runtime/face_colour.h"

#include <gtkmm.h>

#include <cmath>
#include <string>

#include "runtime/visual_style_sheet.h"

// The style is a style sheet on the default screen, above the theme, whose rules
// select only nodes that carry the restyled class. Controls get that class when
// they are found eligible: all existing ones when a scheme is applied, and every
// later one by the creation watch, an emission hook on "hierarchy-changed".
// That signal reaches every widget, internal children included, once its
// window ancestry is complete, so eligibility can look at the ancestors.
namespace rt {
namespace {

int current_scheme = 1;
Glib::RefPtr<Gtk::CssProvider> installed_sheet;
gulong creation_watch = 0;

bool inside(GtkWidget* widget, GType kind) {
    for (GtkWidget* parent = gtk_widget_get_parent(widget); parent != nullptr;
         parent = gtk_widget_get_parent(parent)) {
        if (G_TYPE_CHECK_INSTANCE_TYPE(parent, kind)) return true;
    }
    return false;
}

// A button that shows only a picture, or nothing at all, keeps its own look.
bool has_caption(GtkWidget* button) {
    GtkWidget* content = gtk_bin_get_child(GTK_BIN(button));
    return content != nullptr && !GTK_IS_IMAGE(content);
}

bool is_eligible(GtkWidget* widget) {
    // Column headers of tree views and the buttons of title bars belong to
    // controls that keep their own look.
    if (inside(widget, GTK_TYPE_TREE_VIEW) || inside(widget, GTK_TYPE_HEADER_BAR)) return false;
    if (GTK_IS_CHECK_BUTTON(widget)) return true;  // radio buttons included
    if (GTK_IS_LINK_BUTTON(widget)) return false;
    if (GTK_IS_BUTTON(widget)) {
        // A combo box's own button is drawn as part of the combo box.
        return has_caption(widget) && !inside(widget, GTK_TYPE_COMBO_BOX);
    }
    return GTK_IS_ENTRY(widget) || GTK_IS_COMBO_BOX(widget) || GTK_IS_FRAME(widget);
}

void mark_read_only(GtkWidget* entry) {
    GtkStyleContext* style = gtk_widget_get_style_context(entry);
    if (gtk_editable_get_editable(GTK_EDITABLE(entry))) {
        gtk_style_context_remove_class(style, visual_style::read_only_class.data());
    } else {
        gtk_style_context_add_class(style, visual_style::read_only_class.data());
    }
}

// Edit boxes look different while read-only, a state the toolkit does not show
// to style sheets; follow it for as long as the edit box lives.
void follow_read_only_state(GtkWidget* entry) {
    static const char followed[] = "tavik-read-only-followed";
    if (g_object_get_data(G_OBJECT(entry), followed) != nullptr) return;
    g_object_set_data(G_OBJECT(entry), followed, GINT_TO_POINTER(1));
    g_signal_connect(
        entry, "notify::editable",
        G_CALLBACK(+[](GtkWidget* widget, GParamSpec*, gpointer) { mark_read_only(widget); }),
        nullptr);
    mark_read_only(entry);
}

void restyle_if_eligible(GtkWidget* widget) {
    if (!is_eligible(widget)) return;
    // Adding a class twice keeps one: a control is restyled at most once.
    gtk_style_context_add_class(gtk_widget_get_style_context(widget),
                                visual_style::restyled_class.data());
    if (GTK_IS_ENTRY(widget)) follow_read_only_state(widget);
}

void give_own_look_back(GtkWidget* widget) {
    gtk_style_context_remove_class(gtk_widget_get_style_context(widget),
                                   visual_style::restyled_class.data());
}

using WidgetVisit = void (*)(GtkWidget*);

void visit_tree(GtkWidget* widget, WidgetVisit visit) {
    visit(widget);
    if (!GTK_IS_CONTAINER(widget)) return;
    // forall, unlike foreach, includes internal children such as a dialog's buttons.
    gtk_container_forall(
        GTK_CONTAINER(widget),
        [](GtkWidget* child, gpointer data) {
            visit_tree(child, reinterpret_cast<WidgetVisit>(data));
        },
        reinterpret_cast<gpointer>(visit));
}

void visit_every_window(WidgetVisit visit) {
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* item = toplevels; item != nullptr; item = item->next) {
        visit_tree(GTK_WIDGET(item->data), visit);
    }
    g_list_free(toplevels);
}

gboolean examine_new_widget(GSignalInvocationHint*, guint, const GValue* parameters, gpointer) {
    auto* widget = GTK_WIDGET(g_value_get_object(&parameters[0]));
    // Only a widget that has reached its window knows all of its ancestors.
    if (gtk_widget_is_toplevel(gtk_widget_get_toplevel(widget))) restyle_if_eligible(widget);
    return TRUE;  // keep watching
}

void start_creation_watch() {
    if (creation_watch != 0) return;
    const guint hierarchy_changed = g_signal_lookup("hierarchy-changed", GTK_TYPE_WIDGET);
    creation_watch =
        g_signal_add_emission_hook(hierarchy_changed, 0, examine_new_widget, nullptr, nullptr);
}

void end_creation_watch() {
    if (creation_watch == 0) return;
    g_signal_remove_emission_hook(g_signal_lookup("hierarchy-changed", GTK_TYPE_WIDGET),
                                  creation_watch);
    creation_watch = 0;
}

Rgb to_rgb(const Gdk::RGBA& colour) {
    auto channel = [](double value) { return static_cast<std::uint8_t>(std::lround(value * 255)); };
    return {channel(colour.get_red()), channel(colour.get_green()), channel(colour.get_blue())};
}

// Read from the theme rather than fixed, so that the ring around push buttons
// matches whatever window background the theme paints. Fallbacks are the
// default theme's values.
visual_style::ThemeColours read_theme_colours() {
    const auto context = Gtk::StyleContext::create();
    visual_style::ThemeColours theme{.face = face_colour(), .base = {255, 255, 255}};
    Gdk::RGBA colour;
    if (context->lookup_color("theme_base_color", colour)) theme.base = to_rgb(colour);
    return theme;
}

void remove_style() {
    if (installed_sheet) {
        Gtk::StyleContext::remove_provider_for_screen(Gdk::Screen::get_default(), installed_sheet);
        installed_sheet.reset();
    }
    if (creation_watch != 0) visit_every_window(give_own_look_back);
    end_creation_watch();
}

void install_style(const visual_style::ColourSet& colours) {
    auto sheet = Gtk::CssProvider::create();
    try {
        sheet->load_from_data(visual_style::style_sheet(colours, read_theme_colours()));
    } catch (const Glib::Error& error) {
        // Controls keep their own look; the developer sees why.
        g_warning("visual style not installed: %s", error.what().c_str());
        return;
    }
    Gtk::StyleContext::add_provider_for_screen(Gdk::Screen::get_default(), sheet,
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    installed_sheet = sheet;
    visit_every_window(restyle_if_eligible);
    start_creation_watch();
}

}  // namespace

bool apply_visual_style(int scheme) {
    current_scheme = scheme;
    const auto colours = visual_style::colour_set(scheme);
    // Without a display there is nothing to restyle.
    if (gdk_screen_get_default() == nullptr) return colours.has_value();
    Gtk::Main::init_gtkmm_internals();  // we may be called before anyone used gtkmm
    remove_style();
    if (!colours) return false;
    install_style(*colours);
    return true;
}

int visual_style_scheme() {
    return current_scheme;
}

}  // namespace rt
