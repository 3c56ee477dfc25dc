#include "runtime/engine_environment.h"

#include <glib.h>

#include <array>
#include <vector>

namespace rt {
namespace {

struct Variable {
    const char* name;
    const char* value;
};

constexpr std::array kEngineVariables{
    // The program has OpenGL off in GTK (see the run time's start), so the
    // engine hands the view its pages as ordinary images rather than GL
    // buffers; with GL buffers it would first look for GL in vain, warn, and
    // leave unpainted strips at the view's edge.
    Variable{"WEBKIT_DISABLE_DMABUF_RENDERER", "1"},
    // The engine's web process still sets up the GL driver, which would keep
    // a shader cache in the user's cache folder; the program writes nothing there.
    Variable{"MESA_SHADER_CACHE_DISABLE", "true"},
};

std::vector<std::string>& set_here() {
    static std::vector<std::string> names;
    return names;
}

}  // namespace

void set_engine_environment() {
    for (const Variable& variable : kEngineVariables) {
        if (g_getenv(variable.name) != nullptr) continue;
        g_setenv(variable.name, variable.value, TRUE);
        set_here().emplace_back(variable.name);
    }
}

std::span<const std::string> engine_environment_set_here() {
    return set_here();
}

}  // namespace rt
