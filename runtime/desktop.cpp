#include "runtime/desktop.h"

#include <gio/gio.h>

#include <memory>

#include "runtime/engine_environment.h"

namespace rt {
namespace {

struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
using AppInfo = std::unique_ptr<GAppInfo, ObjectUnref>;
using LaunchContext = std::unique_ptr<GAppLaunchContext, ObjectUnref>;

// The programs started for this one get the person's environment, without
// what the program set for its web engine.
LaunchContext make_launch_context() {
    LaunchContext context(g_app_launch_context_new());
    for (const std::string& name : engine_environment_set_here())
        g_app_launch_context_unsetenv(context.get(), name.c_str());
    return context;
}

bool launch_default_for_scheme(const std::string& address) {
    GError* error = nullptr;
    gboolean launched =
        g_app_info_launch_default_for_uri(address.c_str(), make_launch_context().get(), &error);
    g_clear_error(&error);
    return launched;
}

bool launch_html_viewer(const std::string& address) {
    AppInfo viewer(g_app_info_get_default_for_type("text/html", FALSE));
    if (!viewer) return false;
    GList addresses{const_cast<char*>(address.c_str()), nullptr, nullptr};
    GError* error = nullptr;
    gboolean launched =
        g_app_info_launch_uris(viewer.get(), &addresses, make_launch_context().get(), &error);
    g_clear_error(&error);
    return launched;
}

}  // namespace

bool open_with_desktop(const std::string& address) {
    return launch_default_for_scheme(address) || launch_html_viewer(address);
}

}  // namespace rt
