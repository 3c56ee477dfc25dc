#pragma once

#include <glibmm/dispatcher.h>

#include <functional>
#include <memory>
#include <thread>

#include "runtime/web_engine.h"

namespace rt {

// Finds and loads the web engine module and tries the sandbox, on a thread of
// its own: loading the engine's libraries takes a tenth of a second or more,
// which the GUI thread spends on the person's input instead. The engine itself
// is then made on the GUI thread, as the toolkit requires.
class EngineLoader {
  public:
    EngineLoader();
    ~EngineLoader();  // waits for the loading thread
    EngineLoader(const EngineLoader&) = delete;
    EngineLoader& operator=(const EngineLoader&) = delete;

    // Starts loading; `loaded` is called on the GUI thread once it is done.
    void start(std::function<void()> loaded);

    // Makes the engine, waiting for the loading if it has started, loading
    // right here if not. Empty when the engine cannot run here.
    std::unique_ptr<WebEngine> create();

  private:
    struct Module {
        CreateWebEngine create = nullptr;
        bool sandbox_usable = false;
    };
    static Module load();

    Module module_;
    bool loaded_ = false;
    std::thread worker_;
    Glib::Dispatcher done_;
    std::function<void()> on_loaded_;
};

}  // namespace rt
