#include "runtime/desktop.h"

#include <gio/gio.h>

#include <memory>

namespace rt {
namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using AppInfo = std::unique_ptr<GAppInfo, ObjectUnref>;

bool launch_default_for_scheme(const std::string& address) {
    GError* error = nullptr;
    gboolean launched = g_app_info_launch_default_for_uri(address.c_str(), nullptr, &error);
    g_clear_error(&error);
    return launched;
}

bool launch_html_viewer(const std::string& address) {
    AppInfo viewer(g_app_info_get_default_for_type("text/html", FALSE));
    if (!viewer) return false;
    GList addresses{const_cast<char*>(address.c_str()), nullptr, nullptr};
    GError* error = nullptr;
    gboolean launched = g_app_info_launch_uris(viewer.get(), &addresses, nullptr, &error);
    g_clear_error(&error);
    return launched;
}

}  // namespace

bool open_with_desktop(const std::string& address) {
    return launch_default_for_scheme(address) || launch_html_viewer(address);
}

}  // namespace rt
