#include "runtime/web_view.h"

#include <webkit2/webkit2.h>

#include <algorithm>
#include <array>

#include "runtime/encoding.h"

namespace rt {
namespace {

// Text-only zoom for the five text size steps.
constexpr std::array<double, 5> kTextZoomByStep{0.8, 0.9, 1.0, 1.2, 1.4};
constexpr int kDefaultTextSizeStep = 2;

// One engine context for the process. The program keeps no state of its own,
// so web data (cookies, cache, local storage) lives in memory only.
WebKitWebContext* shared_context() {
    static WebKitWebContext* context = [] {
        WebKitWebContext* created = webkit_web_context_new_ephemeral();
        webkit_web_context_set_cache_model(created, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
        return created;
    }();
    return context;
}

WebKitWebView* engine_view(Gtk::Widget* widget) { return WEBKIT_WEB_VIEW(widget->gobj()); }

}  // namespace

WebView::WebView() {
    GtkWidget* view = webkit_web_view_new_with_context(shared_context());
    g_object_ref_sink(view);
    widget_ = Glib::wrap(view);

    WebKitSettings* settings = webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view));
    // One results page needs no GPU compositing.
    webkit_settings_set_hardware_acceleration_policy(settings,
                                                     WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
    webkit_settings_set_zoom_text_only(settings, TRUE);
    GdkRGBA white{1, 1, 1, 1};
    webkit_web_view_set_background_color(WEBKIT_WEB_VIEW(view), &white);
    set_text_size_step(kDefaultTextSizeStep);
    widget_->set_can_focus(true);
    // An empty document, not an address: the view shows white at once and its
    // web process is ready for the first search. The stored address stays empty.
    webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), "", "about:blank");
}

WebView::~WebView() {
    GtkWidget* view = widget_->gobj();
    if (GtkWidget* parent = gtk_widget_get_parent(view)) {
        gtk_container_remove(GTK_CONTAINER(parent), view);
    }
    g_object_unref(view);
}

void WebView::write_address(const char* address) {
    address_ = address != nullptr ? address : "";
    std::string engine_address = system_to_utf8(address_);
    webkit_web_view_load_uri(engine_view(widget_), engine_address.c_str());
}

void WebView::set_text_size_step(int step) {
    step = std::clamp(step, 0, static_cast<int>(kTextZoomByStep.size()) - 1);
    webkit_web_view_set_zoom_level(engine_view(widget_), kTextZoomByStep[step]);
}

}  // namespace rt
