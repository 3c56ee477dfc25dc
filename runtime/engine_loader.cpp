#include "runtime/engine_loader.h"

#include <dlfcn.h>
#include <glib.h>

#include <array>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "runtime/engine_environment.h"
#include "runtime/program_folder.h"

#ifndef TAVIK_ENGINE_MODULE_FOLDER
#define TAVIK_ENGINE_MODULE_FOLDER "."
#endif

namespace rt {
namespace {

// The module sits beside the program in its build folder, and in the
// program's library folder once installed (a path relative to the program's
// folder, so that the installed tree can be moved).
CreateWebEngine load_module() {
    const std::optional<std::filesystem::path> folder = program_folder();
    if (!folder) return nullptr;
    const std::array candidates{*folder / kWebEngineModuleName,
                                *folder / TAVIK_ENGINE_MODULE_FOLDER / kWebEngineModuleName};
    std::error_code error;
    for (const std::filesystem::path& candidate : candidates) {
        if (!std::filesystem::exists(candidate, error)) continue;
        // Never unloaded: the engine's libraries do not survive being unloaded.
        void* module = dlopen(candidate.c_str(), RTLD_LAZY | RTLD_LOCAL);
        if (module == nullptr) {
            std::cerr << "tavik-search: cannot load the web engine: " << dlerror() << '\n';
            return nullptr;
        }
        return reinterpret_cast<CreateWebEngine>(dlsym(module, kCreateWebEngineSymbol));
    }
    std::cerr << "tavik-search: the web engine module " << kWebEngineModuleName << " is missing\n";
    return nullptr;
}

// The engine confines web content with bubblewrap when asked to, but cannot
// start a web process at all where bwrap is missing or may not create its
// namespaces (some containers). There pages run unconfined rather than not at all.
bool sandbox_usable() {
    std::vector<std::string> arguments{"bwrap",         "--ro-bind",         "/",   "/",
                                       "--unshare-all", "--die-with-parent", "true"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    gint wait_status = 0;
    gboolean ran =
        g_spawn_sync(nullptr, argv.data(), nullptr,
                     static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                              G_SPAWN_STDERR_TO_DEV_NULL),
                     nullptr, nullptr, nullptr, nullptr, &wait_status, nullptr);
    return ran && g_spawn_check_wait_status(wait_status, nullptr);
}

}  // namespace

EngineLoader::EngineLoader() {
    done_.connect([this] {
        if (on_loaded_) on_loaded_();
    });
}

EngineLoader::~EngineLoader() {
    if (worker_.joinable()) worker_.join();
}

EngineLoader::Module EngineLoader::load() {
    Module module;
    module.create = load_module();
    if (module.create == nullptr) return module;
    module.sandbox_usable = sandbox_usable();
    if (!module.sandbox_usable)
        std::cerr << "tavik-search: bubblewrap cannot run here; web pages run unconfined\n";
    return module;
}

void EngineLoader::start(std::function<void()> loaded) {
    if (loaded_ || worker_.joinable()) return;
    on_loaded_ = std::move(loaded);
    // The environment is the GUI thread's to change, and set before any
    // thread reads it.
    set_engine_environment();
    worker_ = std::thread([this] {
        module_ = load();
        done_.emit();
    });
}

std::unique_ptr<WebEngine> EngineLoader::create() {
    if (worker_.joinable()) {
        worker_.join();
    } else if (!loaded_) {
        set_engine_environment();
        module_ = load();
    }
    loaded_ = true;
    std::unique_ptr<WebEngine> engine;
    if (module_.create != nullptr) module_.create(module_.sandbox_usable, &engine);
    return engine;
}

}  // namespace rt
